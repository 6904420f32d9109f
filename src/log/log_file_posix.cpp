#include "log/log_file.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace launcherwindows::logger {

void LogFile::close() {
    if (file_ != kClosed) ::close(static_cast<int>(file_));
    file_ = kClosed;
}

Result<Unit, std::uint32_t> LogFile::create(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return Result<Unit, std::uint32_t>::err(static_cast<std::uint32_t>(errno));
    file_ = fd;
    return Result<Unit, std::uint32_t>::ok(Unit{});
}

std::string LogFile::final_path() const {
    if (file_ == kClosed) return {};
    const std::string link = "/proc/self/fd/" + std::to_string(file_);
    std::string path(4096, '\0');
    const ssize_t n = ::readlink(link.c_str(), path.data(), path.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= path.size()) return {};
    path.resize(static_cast<std::size_t>(n));
    return path;
}

Result<std::size_t, std::uint32_t> LogFile::write_some(std::string_view bytes) {
    for (;;) {
        const ssize_t n = ::write(static_cast<int>(file_), bytes.data(), bytes.size());
        if (n >= 0) return Result<std::size_t, std::uint32_t>::ok(static_cast<std::size_t>(n));
        if (errno != EINTR) return Result<std::size_t, std::uint32_t>::err(static_cast<std::uint32_t>(errno));
    }
}

}  // namespace launcherwindows::logger
