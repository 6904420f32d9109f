#pragma once
#include "install_service/service_error.h"

namespace launcherwindows::install_service {

struct ServiceManager;

// Registers the running executable as the "vesmors" service (not started).
ServiceResult install();
ServiceResult install(const ServiceManager& manager);

// Stops the service if it is not stopped (one request, one wait) and deletes it.
ServiceResult remove();
ServiceResult remove(const ServiceManager& manager);

}  // namespace launcherwindows::install_service
