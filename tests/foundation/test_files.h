#pragma once
// File helpers for tests, on both sides (the Windows side through wide paths).
#include <filesystem>
#include <string>

namespace test_files {

std::filesystem::path fresh_directory(const std::string& name);
std::string read(const std::filesystem::path& path);
void write(const std::filesystem::path& path, const std::string& content);
// Empties the file through a handle of its own, sharing like a second launcher.
void truncate(const std::filesystem::path& path);

}  // namespace test_files
