#include "process/file_names.h"

#include <windows.h>

#include "common/unicode_windows.h"

namespace launcherwindows {

std::filesystem::path filesystem_path(const std::string& utf8_path) {
    return std::filesystem::path(unicode::to_wide(utf8_path));
}

std::FILE* open_file(const std::string& utf8_path, const char* mode) {
    return _wfopen(unicode::to_wide(utf8_path).c_str(), unicode::to_wide(mode).c_str());
}

Result<bool, std::uint32_t> move_file(const std::string& from, const std::string& to) {
    if (MoveFileExW(unicode::to_wide(from).c_str(), unicode::to_wide(to).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return Result<bool, std::uint32_t>::ok(true);
    }
    const DWORD e = GetLastError();
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) return Result<bool, std::uint32_t>::ok(false);
    return Result<bool, std::uint32_t>::err(e);
}

}  // namespace launcherwindows
