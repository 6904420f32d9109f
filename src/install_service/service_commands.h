#pragma once
#include "install_service/service_error.h"

namespace launcherwindows::install_service {

struct ServiceManager;

// Registers the running executable as the "vesmors" service (not started).
ServiceResult install();
ServiceResult install(const ServiceManager& manager);

// Stops the service (one request, once it runs), waits until it has stopped
// and deletes it; gives up, leaving it installed, when a start or the stop
// lasts longer than a stop may.
ServiceResult remove();
ServiceResult remove(const ServiceManager& manager);

}  // namespace launcherwindows::install_service
