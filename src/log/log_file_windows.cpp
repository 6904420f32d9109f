#include "log/log_file.h"

#include <windows.h>

#include "common/shared_file_windows.h"
#include "common/unicode_windows.h"

namespace launcherwindows::logger {
namespace {

HANDLE handle(std::intptr_t file) { return reinterpret_cast<HANDLE>(file); }

}  // namespace

void LogFile::close() {
    if (file_ != kClosed) CloseHandle(handle(file_));
    file_ = kClosed;
}

Result<Unit, std::uint32_t> LogFile::create(const std::string& path) {
    const HANDLE h = open_shared_file(path, GENERIC_WRITE);
    if (h == INVALID_HANDLE_VALUE) return Result<Unit, std::uint32_t>::err(GetLastError());
    file_ = reinterpret_cast<std::intptr_t>(h);
    return Result<Unit, std::uint32_t>::ok(Unit{});
}

std::string LogFile::final_path() const {
    if (file_ == kClosed) return {};
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetFinalPathNameByHandleW(handle(file_), path.data(), static_cast<DWORD>(path.size()),
                                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0) return {};
        const bool fits = n < path.size();
        path.resize(n);
        if (fits) break;
    }
    // "\\?\C:\..." and "\\?\UNC\server\...", as a person writes them.
    if (path.starts_with(L"\\\\?\\UNC\\")) {
        path = L"\\" + path.substr(7);
    } else if (path.starts_with(L"\\\\?\\")) {
        path.erase(0, 4);
    }
    return unicode::from_wide(path);
}

Result<std::size_t, std::uint32_t> LogFile::write_some(std::string_view bytes) {
    // Offset 0xFFFFFFFF:0xFFFFFFFF writes at the current end of file.
    OVERLAPPED at_end{};
    at_end.Offset = 0xFFFFFFFF;
    at_end.OffsetHigh = 0xFFFFFFFF;
    DWORD count = 0;
    const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
    if (!WriteFile(handle(file_), bytes.data(), chunk, &count, &at_end))
        return Result<std::size_t, std::uint32_t>::err(GetLastError());
    return Result<std::size_t, std::uint32_t>::ok(count);
}

}  // namespace launcherwindows::logger
