#include "common/system_error.h"

namespace launcherwindows {

std::string os_error_suffix(std::uint32_t code) { return " (os error " + std::to_string(code) + ")"; }

std::string os_error_text(std::uint32_t code) { return system_error_message(code) + os_error_suffix(code); }

}  // namespace launcherwindows
