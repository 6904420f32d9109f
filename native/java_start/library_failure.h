#pragma once
// Why the Java runtime library could not be loaded, as the platform's loader
// and the file itself tell it. Windows and POSIX each have a file of their own.
#include <string>

// Call right after dlopen(path) failed, before anything else can change the
// loader's error state. The text completes "the Java runtime <path> ...",
// e.g. "could not be loaded: <reason>".
std::string library_load_failure(const char* path);
