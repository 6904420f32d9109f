#include "log/log_file.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace launcherwindows::logger {

void LogFile::close() {
    if (file_ != kClosed) ::close(static_cast<int>(file_));
    file_ = kClosed;
}

std::uint32_t LogFile::create(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return static_cast<std::uint32_t>(errno);
    file_ = fd;
    return 0;
}

std::uint32_t LogFile::write_some(std::string_view bytes, std::size_t& written) {
    for (;;) {
        const ssize_t n = ::write(static_cast<int>(file_), bytes.data(), bytes.size());
        if (n >= 0) {
            written = static_cast<std::size_t>(n);
            return 0;
        }
        if (errno != EINTR) return static_cast<std::uint32_t>(errno);
    }
}

}  // namespace launcherwindows::logger
