#pragma once
#include "../service_error.h"

namespace launcherwindows::install_service {

// Registers the running executable as the "vesmors" service (not started).
ServiceResult install();

// Stops the service if it is not stopped (one request, one wait) and deletes it.
ServiceResult remove();

}  // namespace launcherwindows::install_service
