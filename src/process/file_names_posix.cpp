#include "process/file_names.h"

namespace launcherwindows {

std::filesystem::path filesystem_path(const std::string& utf8_path) { return std::filesystem::path(utf8_path); }

std::FILE* open_file(const std::string& utf8_path, const char* mode) { return std::fopen(utf8_path.c_str(), mode); }

}  // namespace launcherwindows
