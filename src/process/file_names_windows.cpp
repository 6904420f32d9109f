#include "process/file_names.h"

#include <windows.h>

#include "common/unicode_windows.h"

namespace launcherwindows {
namespace {

Result<bool, std::uint32_t> missing_or_error(DWORD e) {
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) return Result<bool, std::uint32_t>::ok(false);
    return Result<bool, std::uint32_t>::err(e);
}

}  // namespace

std::filesystem::path filesystem_path(const std::string& utf8_path) {
    return std::filesystem::path(unicode::to_wide(utf8_path));
}

std::FILE* open_file(const std::string& utf8_path, const char* mode) {
    return _wfopen(unicode::to_wide(utf8_path).c_str(), unicode::to_wide(mode).c_str());
}

Result<bool, std::uint32_t> move_file(const std::string& from, const std::string& to) {
    // No MOVEFILE_REPLACE_EXISTING: replacing a file that a process still
    // writes would drop its records (or fail, as under Wine).
    if (MoveFileExW(unicode::to_wide(from).c_str(), unicode::to_wide(to).c_str(), 0)) {
        return Result<bool, std::uint32_t>::ok(true);
    }
    return missing_or_error(GetLastError());
}

Result<bool, std::uint32_t> drop_unheld_file(const std::string& path) {
    // No sharing at all: the open fails while any process has the file open,
    // and nobody can open it between this open and the deletion.
    const HANDLE file = CreateFileW(unicode::to_wide(path).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return missing_or_error(GetLastError());
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    const bool marked = SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
    const DWORD e = GetLastError();
    CloseHandle(file);  // deletes it
    return marked ? Result<bool, std::uint32_t>::ok(true) : Result<bool, std::uint32_t>::err(e);
}

}  // namespace launcherwindows
