#pragma once
// Texts handed to the service control manager, and the install command's
// diagnostic line.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "install_service/service_error.h"
#include "process/process.h"

namespace launcherwindows::install_service {

// A text with a NUL cannot be passed as a NUL-terminated string: the error of
// the given kind with the NUL's byte position.
ServiceResult check_text(std::string_view text, ServiceError::Kind kind);

// A current state outside SERVICE_STOPPED (1) .. SERVICE_PAUSED (7) is an error.
ServiceResult check_state(std::uint32_t state);

// The install command's line for the executable's path lookup (without the
// line feed): Ok("<quoted path>") or Err(<code>: <message>).
std::string path_line(const ModulePath& lookup);

}  // namespace launcherwindows::install_service
