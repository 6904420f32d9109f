#include "process/process.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace launcherwindows {

ModulePath current_executable_path() {
    std::string buf(PATH_MAX, '\0');
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return ModulePath::err(static_cast<std::uint32_t>(errno));
    buf.resize(static_cast<std::size_t>(n));
    return ModulePath::ok(std::move(buf));
}

SystemResult set_working_directory(const std::string& utf8_path) {
    return system_result(chdir(utf8_path.c_str()) == 0 ? 0 : static_cast<std::uint32_t>(errno));
}

void set_environment_variable(const std::string& name, const std::string& value) {
    setenv(name.c_str(), value.c_str(), 1);
}

std::string environment_variable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value != nullptr ? value : "";
}

void terminate_process(int status) { std::_Exit(status); }

}  // namespace launcherwindows
