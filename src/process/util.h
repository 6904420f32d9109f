#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace launcherwindows {

// The installation directory: the parent of the directory that holds the
// running executable, as UTF-8 without a trailing separator (a root keeps its own).
std::string get_halvora_directory();

// The parent of a path by the platform's rules, or nothing for a root or a
// bare name. Accepts both separators on Windows.
std::optional<std::string> parent_directory(std::string_view path);

// Writes the message and a line feed to standard error, tells the listener
// (when one is set) and ends the process at once with status 3.
[[noreturn]] void fatal_stop(std::string_view message);

// Told each fatal stop's message before the process ends; nullptr for none.
using FatalStopListener = void (*)(std::string_view message);
void set_fatal_stop_listener(FatalStopListener listener);

}  // namespace launcherwindows
