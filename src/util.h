#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace launcherwindows {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The installation directory: the parent of the directory that holds the
// running executable, as UTF-8 without a trailing separator (a root keeps its own).
std::string get_halvora_directory();

// The parent of a path by the platform's rules, or nothing for a root or a
// bare name. Accepts both separators on Windows.
std::optional<std::string> parent_directory(std::string_view path);

// Full path of the running executable, or the system error code.
struct ModulePath {
    std::optional<std::string> path;
    std::uint32_t error = 0;
};
ModulePath current_executable_path();

// Changes the working directory; false on failure.
bool set_working_directory(const std::string& utf8_path);

// Writes the message and a line feed to standard error and ends the process
// at once with status 3.
[[noreturn]] void fatal_stop(std::string_view message);

// The system's message for an error code, trailing white space removed.
std::string system_error_message(std::uint32_t code);

}  // namespace launcherwindows
