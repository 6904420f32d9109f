#include "install_service/service_error.h"

#include "common/system_error.h"
#include "process/process.h"
#include "vesmors_service/stop_timing.h"

namespace launcherwindows {
namespace {

std::string state_name(std::uint64_t state) {
    static const char* const names[] = {"Stopped", "StartPending", "StopPending", "Running",
                                        "ContinuePending", "PausePending", "Paused"};
    return state >= 1 && state <= 7 ? names[state - 1] : "state " + std::to_string(state);
}

}  // namespace

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
        case Kind::NotStopped:
            return "NotStopped(" + v + ": the service is still " + state_name(value) + " after " +
                   std::to_string(std::chrono::duration_cast<std::chrono::seconds>(vesmors_service::kStopEndsWithin).count()) +
                   " s and stays installed)";
    }
    return "ServiceError(" + v + ")";
}

}  // namespace launcherwindows
