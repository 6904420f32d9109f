// There is no service control manager on this platform.
#include <cerrno>

#include "mod.h"

namespace launcherwindows::install_service {

ServiceResult install() { return service_error(ServiceError::winapi(ENOSYS)); }
ServiceResult remove() { return service_error(ServiceError::winapi(ENOSYS)); }

}  // namespace launcherwindows::install_service
