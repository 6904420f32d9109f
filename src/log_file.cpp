#include "log_file.h"

#include <filesystem>
#include <system_error>

#include "process.h"

#ifdef _WIN32
#include <windows.h>
#include "unicode_windows.h"
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace launcherwindows::logger {

namespace {
std::filesystem::path fs_path(const std::string& utf8) {
#ifdef _WIN32
    return std::filesystem::path(unicode::to_wide(utf8));
#else
    return std::filesystem::path(utf8);
#endif
}
}  // namespace

LogFile::~LogFile() {
#ifdef _WIN32
    if (handle_ != nullptr) CloseHandle(handle_);
#else
    if (fd_ >= 0) close(fd_);
#endif
}

std::string LogFile::open(const std::string& path) {
    const auto parent = fs_path(path).parent_path();
    std::error_code ec;
    if (!parent.empty()) {
        std::filesystem::create_directories(parent, ec);
        if (ec) return "cannot create the log directory: " + ec.message();
    }
#ifdef _WIN32
    HANDLE h = CreateFileW(unicode::to_wide(path).c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        return system_error_message(code) + " (os error " + std::to_string(code) + ")";
    }
    handle_ = h;
#else
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ < 0) return std::string(std::strerror(errno)) + " (os error " + std::to_string(errno) + ")";
#endif
    return {};
}

bool LogFile::is_open() const {
#ifdef _WIN32
    return handle_ != nullptr;
#else
    return fd_ >= 0;
#endif
}

std::string LogFile::append(std::string_view bytes) {
    while (!bytes.empty()) {
#ifdef _WIN32
        // Offset 0xFFFFFFFF:0xFFFFFFFF writes at the current end of file.
        OVERLAPPED at_end{};
        at_end.Offset = 0xFFFFFFFF;
        at_end.OffsetHigh = 0xFFFFFFFF;
        DWORD written = 0;
        const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
        if (!WriteFile(handle_, bytes.data(), chunk, &written, &at_end)) {
            const DWORD code = GetLastError();
            return system_error_message(code) + " (os error " + std::to_string(code) + ")";
        }
#else
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::string(std::strerror(errno)) + " (os error " + std::to_string(errno) + ")";
        }
        const auto written = static_cast<std::size_t>(n);
#endif
        if (written == 0) return "the log file accepted no bytes";
        bytes.remove_prefix(written);
    }
    return {};
}

}  // namespace launcherwindows::logger
