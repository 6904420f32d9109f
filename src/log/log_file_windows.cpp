#include "log/log_file.h"

#include <windows.h>

#include "common/shared_file_windows.h"

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
