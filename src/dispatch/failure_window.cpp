#include "dispatch/failure_window.h"

#include <utility>

#include "init/applications.h"
#include "log/logger.h"
#include "process/console_output.h"
#include "process/util.h"

namespace launcherwindows::failure_window {

std::atomic<const Watch*> Watch::current_{nullptr};

Desktop system_desktop() {
    return {[] { return !console::missing_streams().error; }, interactive_window_station, show_error_window};
}

bool shown(std::string_view app, bool error_handle_given, bool interactive) {
    const auto row = init::find_application(app);
    return row && row->kind == init::Kind::JavaDesktop && !error_handle_given && interactive;
}

std::string window_text(std::string_view cause, std::string_view log_file) {
    std::string text(cause);
    text += log_file.empty() ? "\n\nNo log file could be written." : "\n\nThe log file has the details:\n";
    text += log_file;
    return text;
}

Watch::Watch(std::string_view app, Desktop desktop)
    : app_(app), desktop_(std::move(desktop)), error_handle_given_(desktop_.error_handle_given()) {
    current_.store(this);
    set_fatal_stop_listener(on_fatal_stop);
}

Watch::~Watch() {
    set_fatal_stop_listener(nullptr);
    current_.store(nullptr);
}

void Watch::failed(std::string_view cause) const {
    // The window station is asked only when the rest would show the window:
    // on Windows the question loads the window system.
    if (!shown(app_, error_handle_given_, true)) return;
    if (!shown(app_, error_handle_given_, desktop_.interactive())) return;
    desktop_.show(app_, window_text(cause, logger::file_location()));
}

void Watch::on_fatal_stop(std::string_view message) {
    if (const Watch* watch = current_.load()) watch->failed(message);
}

}  // namespace launcherwindows::failure_window
