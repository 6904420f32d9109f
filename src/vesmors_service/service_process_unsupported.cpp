// There is no service control manager on this platform.
#include "vesmors_service/service_process.h"

#include <cerrno>

#include "log/logger.h"
#include "vesmors_service/service.h"

namespace launcherwindows::vesmors_service {

ServiceResult run() {
    logger::info(logger::kTargetService, "Inside run method " + std::string(kServiceName));
    return service_error(ServiceError::winapi(ENOSYS));
}

}  // namespace launcherwindows::vesmors_service
