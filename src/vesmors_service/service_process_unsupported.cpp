// There is no service control manager on this platform.
#include "service_process.h"

#include <cerrno>

#include "../logger.h"
#include "service.h"

namespace launcherwindows::vesmors_service {

ServiceResult run() {
    logger::info(logger::kTargetService, "Inside run method " + std::string(kServiceName));
    return service_error(ServiceError::winapi(ENOSYS));
}

}  // namespace launcherwindows::vesmors_service
