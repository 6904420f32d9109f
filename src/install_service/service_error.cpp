#include "install_service/service_error.h"

#include "common/system_error.h"
#include "process/process.h"

namespace launcherwindows {

std::string ServiceError::diagnostic() const {
    const std::string v = std::to_string(value);
    switch (kind) {
        case Kind::Winapi:
            return "Winapi(" + v + ": " + system_error_message(static_cast<std::uint32_t>(value)) + ")";
        case Kind::InvalidServiceState: return "InvalidServiceState(" + v + ")";
        case Kind::InvalidServiceName: return "InvalidServiceName(" + v + ")";
        case Kind::InvalidDisplayName: return "InvalidDisplayName(" + v + ")";
        case Kind::InvalidExecutablePath: return "InvalidExecutablePath(" + v + ")";
        case Kind::InvalidLaunchArgument: return "InvalidLaunchArgument(" + v + ")";
        case Kind::InvalidDependency: return "InvalidDependency(" + v + ")";
    }
    return "ServiceError(" + v + ")";
}

}  // namespace launcherwindows
