#pragma once
#include <string>
#include <string_view>

namespace launcherwindows::install_service {

// One command-line argument as CommandLineToArgvW reads it back: unchanged
// when it holds no blank, tab, line feed, vertical tab or double quote;
// otherwise in double quotes, where n backslashes before a quote become
// 2n+1 and n backslashes at the end become 2n.
std::string quote_argument(std::string_view argument);

// The arguments the service manager starts the service with: "start" where
// the executable's path makes it the service at once (installed suites and
// their tools rely on that form), elsewhere the command word first,
// "vesmors start".
std::string service_launch_arguments(std::string_view executable_path);

// The service's command line: the quoted executable path, a space, the
// launch arguments.
std::string service_command_line(std::string_view executable_path);

}  // namespace launcherwindows::install_service
