#include "install_service/command_line.h"

#include "init/applications.h"

namespace launcherwindows::install_service {

std::string quote_argument(std::string_view argument) {
    if (argument.find_first_of(" \t\n\v\"") == std::string_view::npos) return std::string(argument);
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes only escape when a quote follows them.
        out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, '\\');
    out += '"';
    return out;
}

std::string service_launch_arguments(std::string_view executable_path) {
    std::string arguments;
    if (!init::path_names(executable_path, init::kServiceApplication)) arguments.append(init::kServiceApplication) += ' ';
    return arguments + "start";
}

std::string service_command_line(std::string_view executable_path) {
    return quote_argument(executable_path) + " " + service_launch_arguments(executable_path);
}

}  // namespace launcherwindows::install_service
