#include "log/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace launcherwindows::logger {

Result<FolderLock, std::uint32_t> FolderLock::take(const std::string& folder, std::chrono::milliseconds wait) {
    using R = Result<FolderLock, std::uint32_t>;
    // The folder's own descriptor carries the lock, so no file of ours lies
    // beside the logs. Without the folder there is nothing to move yet: two
    // first starts then write into one new file, and nothing is lost.
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? R::ok(FolderLock(kNone)) : R::err(static_cast<std::uint32_t>(errno));
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        if (e != EWOULDBLOCK && e != EINTR) {
            close(fd);
            return R::err(static_cast<std::uint32_t>(e));
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            close(fd);
            return R::err(ETIMEDOUT);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return R::ok(FolderLock(fd));
}

FolderLock::~FolderLock() {
    if (held_ != kNone) close(static_cast<int>(held_));  // and with it the flock
}

}  // namespace launcherwindows::logger
