// The service command line read back by the rules of CommandLineToArgvW
// (argv_rules.cpp): every argument round-trips, and the quoted executable path
// comes back as the program name.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "argv_rules.h"
#include "init/applications.h"
#include "install_service/command_line.h"

namespace {

using namespace launcherwindows::install_service;
using argv_rules::command_line_to_argv;

[[noreturn]] void fail(const char* what, const std::string& line) {
    std::fprintf(stderr, "%s: [%s]\n", what, line.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path(reinterpret_cast<const char*>(data), size);
    // A NUL ends a wide command line; an empty argument is never quoted (the
    // service's path is never empty).
    if (path.empty() || path.find('\0') != std::string::npos) return 0;

    const std::string quoted = quote_argument(path);
    const auto args = command_line_to_argv("prog " + quoted);
    if (args.size() != 2 || args[0] != "prog") fail("wrong argument count", quoted);
    if (args[1] != path) fail("argument does not read back", quoted);

    // An executable's path has no quote and no trailing backslash; those read
    // back as the program name, with "start" after them, and the command word
    // before it where the path does not make the program the service.
    if (path.find('"') == std::string::npos && path.back() != '\\') {
        const std::string line = service_command_line(path);
        const auto service = command_line_to_argv(line);
        const std::vector<std::string> launch = launcherwindows::init::path_names(path, launcherwindows::init::kServiceApplication)
                                                    ? std::vector<std::string>{"start"}
                                                    : std::vector<std::string>{"vesmors", "start"};
        if (service.size() != launch.size() + 1) fail("service line: wrong argument count", line);
        if (service[0] != path) fail("service line: program name does not read back", line);
        if (!std::equal(launch.begin(), launch.end(), service.begin() + 1)) fail("service line: wrong launch arguments", line);
    }
    return 0;
}
