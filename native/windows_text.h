#pragma once
// UTF-8 paths and system messages at the Windows loader's boundary (Windows only).
#include <windows.h>

#include <string>

// A UTF-8 text as UTF-16; empty when it is not valid UTF-8.
std::wstring widen(const char* utf8);

// The system's message for an error code, trailing white space removed.
std::string system_message(DWORD code);
