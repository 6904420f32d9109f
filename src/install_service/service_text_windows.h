#pragma once
// Texts for the control manager's wide-string calls.
#include <string>
#include <string_view>

#include "common/result.h"
#include "install_service/service_error.h"

namespace launcherwindows::install_service {

// The text as a NUL-terminated wide string, after the NUL check.
Result<std::wstring, ServiceError> checked_wide(std::string_view text, ServiceError::Kind kind);

}  // namespace launcherwindows::install_service
