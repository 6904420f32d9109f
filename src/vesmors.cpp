#include "vesmors.h"

namespace launcherwindows {

// Not built yet: ERROR_CALL_NOT_IMPLEMENTED.
ServiceResult vesmors(std::string_view) { return service_error(ServiceError::winapi(120)); }

}  // namespace launcherwindows
