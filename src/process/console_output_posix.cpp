#include "process/console_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "common/system_error.h"
#include "process/process.h"

namespace launcherwindows::console {
namespace {

bool usable(int descriptor) { return fcntl(descriptor, F_GETFD) != -1; }

}  // namespace

Missing missing_streams() { return {!usable(STDOUT_FILENO), !usable(STDERR_FILENO)}; }

Result<Unit, std::string> redirect(const std::string& path, Missing missing) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0) return Result<Unit, std::string>::err(os_error_text(static_cast<std::uint32_t>(errno)));
    if (missing.output) {
        dup2(fd, STDOUT_FILENO);
        std::clearerr(stdout);
        std::setvbuf(stdout, nullptr, _IONBF, 0);
    }
    if (missing.error) {
        dup2(fd, STDERR_FILENO);
        std::clearerr(stderr);
    }
    if (fd != STDOUT_FILENO && fd != STDERR_FILENO) close(fd);
    return Result<Unit, std::string>::ok(Unit{});
}

}  // namespace launcherwindows::console
