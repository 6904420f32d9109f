#pragma once
// A desktop application's failed start, told in a window to the person who
// started it: from a shortcut the process has no console, and its log may lie
// in the user's VirtualStore rather than in the installation directory.
#include <atomic>
#include <functional>
#include <string>
#include <string_view>

namespace launcherwindows::failure_window {

// What the decision asks of the system, and the window it shows; tests give
// their own, so that none of them can wait on a window.
struct Desktop {
    // The starter gave this process a usable standard error handle.
    std::function<bool()> error_handle_given;
    // The process's window station is visible: a user's interactive desktop.
    std::function<bool()> interactive;
    // One modal error window; returns once it is closed.
    std::function<void(const std::string& title, const std::string& text)> show;
};
Desktop system_desktop();

// The platform's half (failure_window_windows.cpp, failure_window_posix.cpp).
bool interactive_window_station();
void show_error_window(const std::string& title, const std::string& text);

// Whether a failed start of the application is told in a window: only a
// desktop application's, and only when nobody reads the process's standard
// error and a person sees its desktop.
bool shown(std::string_view app, bool error_handle_given, bool interactive);

// The cause as the ERROR record or the fatal stop says it (unquoted), and
// where the log file is.
std::string window_text(std::string_view cause, std::string_view log_file);

// One start of an application, from the moment its word is known: judges the
// standard error handle at once (before the start may put its console file in
// that place) and tells a fatal stop during its life as a failure.
class Watch {
public:
    Watch(std::string_view app, Desktop desktop);
    ~Watch();
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    // Shows the window when the decision says so; returns once it is closed.
    void failed(std::string_view cause) const;

private:
    static void on_fatal_stop(std::string_view message);
    static std::atomic<const Watch*> current_;

    std::string app_;
    Desktop desktop_;
    bool error_handle_given_;
};

}  // namespace launcherwindows::failure_window
