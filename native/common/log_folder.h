#pragma once
// The folder of the log (under the installation directory) and of the Java
// trace and the console output (under the working directory).
#include <string>
#include <string_view>

#include "path_rules.h"

namespace launcherwindows {

inline constexpr std::string_view kLogFolder = "launcher-logs";
// The Java start's trace, in that folder.
inline constexpr std::string_view kJavaTraceFile = "launcher-cpp.log";

// ".\launcher-logs\<file name>", with the platform's separator.
inline std::string working_log_file(std::string_view file_name) {
    const std::string separator(1, kPathSeparator);
    return "." + separator + std::string(kLogFolder) + separator + std::string(file_name);
}

}  // namespace launcherwindows
