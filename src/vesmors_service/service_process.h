#pragma once
#include "install_service/service_error.h"

namespace launcherwindows::vesmors_service {

// Hands the calling (main) thread to the service dispatcher and returns when
// it does, that is once the service has reported Stopped. Without a service
// control manager (service_process_unsupported.cpp) it fails at once.
ServiceResult run();

}  // namespace launcherwindows::vesmors_service
