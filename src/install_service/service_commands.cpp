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
// starting would refuse it.
bool takes_stop(const QueriedStatus& status) {
    return status.state != kServiceStopped && status.state != kServiceStopPending &&
           status.state != kServiceStartPending && (status.controls_accepted & kServiceAcceptStop) != 0;
}

bool stopped_or_stopping(const QueriedStatus& status) {
    return status.state == kServiceStopped || status.state == kServiceStopPending;
}

bool stopped(const QueriedStatus& status) { return status.state == kServiceStopped; }

// Remove looks at a service it waits for this often, and gives up on it
// (starting, or stopping after the request) when its stop should long have ended.
constexpr std::uint32_t kPollMs = 200;
constexpr auto kPolls = static_cast<std::uint32_t>(vesmors_service::kStopEndsWithin.count() / kPollMs);

using WaitResult = Result<QueriedStatus, ServiceError>;

// The status once done() holds for it, queried every kPollMs.
WaitResult wait_until(const ServiceManager& scm, ScHandle service, QueriedStatus status,
                      bool (*done)(const QueriedStatus&)) {
    for (std::uint32_t polls = 0; !done(status); ++polls) {
        if (polls == kPolls) return WaitResult::err(ServiceError{Kind::NotStopped, status.state});
        scm.sleep(kPollMs);
        const StatusResult now = scm.query_status(service);
        if (!now) return WaitResult::err(ServiceError::winapi(now.error()));
        if (auto checked = check_state(now.value().state); !checked) return WaitResult::err(checked.error());
        status = now.value();
    }
    return WaitResult::ok(status);
}

// One stop request; the state it leaves. A request refused because the
// service began to stop (or stopped) since the query has nothing left to ask.
WaitResult request_stop(const ServiceManager& scm, ScHandle service) {
    const StateResult reply = scm.send_stop(service);
    if (reply) {
        if (auto checked = check_state(reply.value()); !checked) return WaitResult::err(checked.error());
        return WaitResult::ok({reply.value(), 0});
    }
    const std::uint32_t refusal = reply.error();
    if (refusal == kErrorServiceCannotAcceptCtrl || refusal == kErrorServiceNotActive) {
        const StatusResult now = scm.query_status(service);
        if (now && check_state(now.value().state) && !takes_stop(now.value())) return WaitResult::ok(now.value());
    }
    return WaitResult::err(ServiceError::winapi(refusal));
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

    // A starting service can take its stop once it runs. A delete before it
    // has stopped only marks it: the server would run on, and the name stay
    // taken for the next install.
    WaitResult now = wait_until(scm, service.get(), status.value(), [](const QueriedStatus& s) {
        return stopped_or_stopping(s) || takes_stop(s);
    });
    if (now && takes_stop(now.value())) now = request_stop(scm, service.get());
    if (now) now = wait_until(scm, service.get(), now.value(), stopped);
    if (!now) return service_error(now.error());
    if (const SystemResult deleted = scm.delete_service(service.get()); !deleted) return winapi(deleted.error());
    return service_ok();
}

ServiceResult install() { return install(system_service_manager()); }
ServiceResult remove() { return remove(system_service_manager()); }

}  // namespace launcherwindows::install_service
