#include "dispatch/failure_window.h"

namespace launcherwindows::failure_window {

// The host build has no window station that a person sees: nothing is shown.
bool interactive_window_station() { return false; }

void show_error_window(const std::string&, const std::string&) {}

}  // namespace launcherwindows::failure_window
