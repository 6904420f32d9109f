#pragma once
// What a started application prints, kept when nobody reads this program's
// output: a GUI-subsystem program started from a shortcut, from Explorer or
// by the service manager has no standard output or error at all.
#include <string>
#include <string_view>

#include "common/result.h"

namespace launcherwindows::console {

// Which of the process's standard streams have no usable handle.
struct Missing {
    bool output = false;
    bool error = false;
};

// The platform's half (console_output_windows.cpp, console_output_posix.cpp).
Missing missing_streams();
// Makes the file (or writes on at its end, when it could not be moved aside)
// and points the missing streams at it, both the system's standard handles
// and this program's C runtime streams; the reason when the file cannot be
// opened.
Result<Unit, std::string> redirect(const std::string& path, Missing missing);

// ".\launcher-logs\<name>-console.log", under the working directory.
std::string console_file_path(std::string_view app_name);

// Call before the application's runtime or library is loaded: moves the
// earlier console files aside and points the missing streams at a fresh one,
// or logs one WARN record saying why not.
void keep_output(std::string_view app_name);

}  // namespace launcherwindows::console
