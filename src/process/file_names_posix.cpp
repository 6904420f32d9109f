#include "process/file_names.h"

#include <cerrno>

namespace launcherwindows {

std::filesystem::path filesystem_path(const std::string& utf8_path) { return std::filesystem::path(utf8_path); }

std::FILE* open_file(const std::string& utf8_path, const char* mode) { return std::fopen(utf8_path.c_str(), mode); }

Result<bool, std::uint32_t> move_file(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return Result<bool, std::uint32_t>::ok(true);
    if (errno == ENOENT) return Result<bool, std::uint32_t>::ok(false);
    return Result<bool, std::uint32_t>::err(static_cast<std::uint32_t>(errno));
}

}  // namespace launcherwindows
