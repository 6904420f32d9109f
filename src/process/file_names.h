#pragma once
// Files named by UTF-8 text: Windows's file calls take UTF-16 names, POSIX's
// take the bytes. Each side in a file of its own (file_names_windows.cpp,
// file_names_posix.cpp).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/result.h"

namespace launcherwindows {

std::filesystem::path filesystem_path(const std::string& utf8_path);

// std::fopen on a UTF-8 name; null on failure.
std::FILE* open_file(const std::string& utf8_path, const char* mode);

// Renames a file, never onto one that exists (open files move with their
// writers where they were opened with delete sharing): true when moved, false
// when there was no such file, or the system error code.
Result<bool, std::uint32_t> move_file(const std::string& from, const std::string& to);

// Deletes a file only when no process holds it open, so that no writer's
// records go with it: true when deleted, false when there was no such file,
// or the system error code (a sharing violation while it is held).
Result<bool, std::uint32_t> drop_unheld_file(const std::string& path);

}  // namespace launcherwindows
