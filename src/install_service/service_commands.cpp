// Install and remove, on whichever service manager they are given.
#include "install_service/service_commands.h"

#include <cstdio>
#include <string>
#include <utility>

#include "common/service_identity.h"
#include "common/system_error.h"
#include "install_service/command_line.h"
#include "install_service/service_manager.h"
#include "install_service/service_text.h"
#include "log/logger.h"
#include "process/process.h"
#include "process/util.h"
#include "vesmors_service/stop_timing.h"

namespace launcherwindows::install_service {
namespace {

using logger::kTargetMain;
using Kind = ServiceError::Kind;

// A handle of the manager's, closed when it goes out of scope.
class Handle {
public:
    Handle(const ServiceManager& manager, ScHandle handle) : manager_(manager), handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { manager_.close(handle_); }
    ScHandle get() const { return handle_; }

private:
    const ServiceManager& manager_;
    ScHandle handle_;
};

ServiceResult winapi(std::uint32_t code) { return service_error(ServiceError::winapi(code)); }

// Only a service that runs takes a stop request: one stopped, stopping or
// starting would refuse it, and one that accepts none is deleted as it is.
bool takes_stop(const QueriedStatus& status) {
    return status.state != kServiceStopped && status.state != kServiceStopPending &&
           status.state != kServiceStartPending && (status.controls_accepted & kServiceAcceptStop) != 0;
}

// A refused stop request, where the service began to stop (or stopped)
// between the query and the request: there is nothing left to ask.
bool stopping_already(const ServiceManager& scm, ScHandle service, std::uint32_t refusal) {
    if (refusal != kErrorServiceCannotAcceptCtrl && refusal != kErrorServiceNotActive) return false;
    const StatusResult now = scm.query_status(service);
    return now && !takes_stop(now.value());
}

void print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

}  // namespace

ServiceResult install(const ServiceManager& scm) {
    logger::info(kTargetMain, "going to call install for vesmor service");
    print("before service manager\n");

    const HandleResult opened = scm.open_manager(kManagerConnect | kManagerCreateService);
    if (!opened) return winapi(opened.error());
    const Handle manager(scm, opened.value());

    const ModulePath exe = scm.executable_path();
    print(path_line(exe) + "\n");
    if (!exe) {
        fatal_stop("cannot determine the path of the running executable: " + system_error_message(exe.error()));
    }

    const std::string arguments = service_launch_arguments(exe.value());
    for (const auto& [text, kind] : {std::pair{kServiceName, Kind::InvalidServiceName},
                                     std::pair{kServiceDisplayName, Kind::InvalidDisplayName},
                                     std::pair{std::string_view(exe.value()), Kind::InvalidExecutablePath},
                                     std::pair{std::string_view(arguments), Kind::InvalidLaunchArgument}}) {
        if (auto checked = check_text(text, kind); !checked) return checked;
    }
    const std::string command_line = service_command_line(exe.value());
    const HandleResult created =
        scm.create_service(manager.get(), std::string(kServiceName), std::string(kServiceDisplayName),
                           kServiceStart | kServiceStop | kServiceChangeConfig, command_line);
    if (!created) return winapi(created.error());
    const Handle service(scm, created.value());
    logger::info(kTargetMain, "the " + std::string(kServiceName) + " service starts with the command line " + command_line);
    // The service works without it, but the machine's shutdown would cut its
    // server's shutdown hooks off after a few seconds.
    const auto timeout = static_cast<std::uint32_t>(vesmors_service::kPreshutdownTimeout.count());
    if (const SystemResult set = scm.set_preshutdown_timeout(service.get(), timeout); !set) {
        logger::warn(kTargetMain, "the preshutdown time-out of the vesmors service could not be set: " +
                                      os_error_text(set.error()));
    }
    return service_ok();
}

ServiceResult remove(const ServiceManager& scm) {
    logger::info(kTargetMain, "going to call uninstall for vesmor service");

    const HandleResult opened = scm.open_manager(kManagerConnect);
    if (!opened) return winapi(opened.error());
    const Handle manager(scm, opened.value());

    if (auto checked = check_text(kServiceName, Kind::InvalidServiceName); !checked) return checked;
    const HandleResult found =
        scm.open_service(manager.get(), std::string(kServiceName), kDelete | kServiceStop | kServiceQueryStatus);
    if (!found) return winapi(found.error());
    const Handle service(scm, found.value());

    const StatusResult status = scm.query_status(service.get());
    if (!status) return winapi(status.error());
    if (auto checked = check_state(status.value().state); !checked) return checked;

    if (takes_stop(status.value())) {
        const StateResult stopping = scm.send_stop(service.get());
        if (stopping) {
            if (auto checked = check_state(stopping.value()); !checked) return checked;
            // One fixed wait, no polling: the delete takes effect once it has stopped.
            scm.sleep(1000);
        } else if (!stopping_already(scm, service.get(), stopping.error())) {
            return winapi(stopping.error());
        }
    }
    // A service still stopping is marked for deletion and goes once it reports Stopped.
    if (const SystemResult deleted = scm.delete_service(service.get()); !deleted) return winapi(deleted.error());
    return service_ok();
}

ServiceResult install() { return install(system_service_manager()); }
ServiceResult remove() { return remove(system_service_manager()); }

}  // namespace launcherwindows::install_service
