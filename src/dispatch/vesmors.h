#pragma once
#include <string_view>

#include "install_service/service_error.h"

namespace launcherwindows {

// The service command: install, remove, run as the service, daemon, or usage.
ServiceResult vesmors(std::string_view sub_command);

// The action a sub-command word selects; words match byte for byte.
enum class VesmorsAction { Install, Remove, RunService, Daemon, Usage };
VesmorsAction vesmors_action(std::string_view sub_command);

}  // namespace launcherwindows
