#include "process/file_names.h"

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace launcherwindows {
namespace {

Result<bool, std::uint32_t> missing_or_error(int e) {
    if (e == ENOENT) return Result<bool, std::uint32_t>::ok(false);
    return Result<bool, std::uint32_t>::err(static_cast<std::uint32_t>(e));
}

}  // namespace

std::filesystem::path filesystem_path(const std::string& utf8_path) { return std::filesystem::path(utf8_path); }

std::FILE* open_file(const std::string& utf8_path, const char* mode) { return std::fopen(utf8_path.c_str(), mode); }

Result<bool, std::uint32_t> move_file(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return Result<bool, std::uint32_t>::ok(true);
    return missing_or_error(errno);
}

Result<bool, std::uint32_t> drop_unheld_file(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return missing_or_error(errno);
    // A write lease is granted only while no other descriptor has the file
    // open, and makes a new opener wait until it is given up; where the file
    // system grants no leases at all, nothing tells, and the file is dropped.
    if (fcntl(fd, F_SETLEASE, F_WRLCK) != 0 && errno == EAGAIN) {
        close(fd);
        return Result<bool, std::uint32_t>::err(EAGAIN);
    }
    const int removed = unlink(path.c_str());
    const int e = errno;
    close(fd);  // gives the lease up
    return removed == 0 ? Result<bool, std::uint32_t>::ok(true) : missing_or_error(e);
}

}  // namespace launcherwindows
