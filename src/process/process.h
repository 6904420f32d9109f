#pragma once
// What this process asks of its operating system. Windows and POSIX each
// answer in a file of their own (process_windows.cpp, process_posix.cpp).
#include <cstdint>
#include <string>

#include "common/result.h"

namespace launcherwindows {

// Full path of the running executable, or the system error code.
using ModulePath = Result<std::string, std::uint32_t>;
ModulePath current_executable_path();

// Changes the working directory, or the system error code.
SystemResult set_working_directory(const std::string& utf8_path);

// This process's environment (on Windows the system's block, not the C
// runtime's copy). A variable that is not set reads as empty.
void set_environment_variable(const std::string& name, const std::string& value);
std::string environment_variable(const std::string& name);

// Ends the process at once with the status: no exit handlers, no flushing.
[[noreturn]] void terminate_process(int status);

}  // namespace launcherwindows
