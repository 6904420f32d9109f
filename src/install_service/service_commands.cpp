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

namespace launcherwindows::install_service {
namespace {

using logger::kTargetMain;
using Kind = ServiceError::Kind;

constexpr std::string_view kLaunchArgument = "start";

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

    for (const auto& [text, kind] : {std::pair{kServiceName, Kind::InvalidServiceName},
                                     std::pair{kServiceDisplayName, Kind::InvalidDisplayName},
                                     std::pair{std::string_view(exe.value()), Kind::InvalidExecutablePath},
                                     std::pair{kLaunchArgument, Kind::InvalidLaunchArgument}}) {
        if (auto checked = check_text(text, kind); !checked) return checked;
    }
    const HandleResult created = scm.create_service(manager.get(), std::string(kServiceName),
                                                    std::string(kServiceDisplayName), kServiceStart | kServiceStop,
                                                    service_command_line(exe.value()));
    if (!created) return winapi(created.error());
    // Neither started nor configured further.
    const Handle service(scm, created.value());
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

    const StateResult state = scm.query_state(service.get());
    if (!state) return winapi(state.error());
    if (auto checked = check_state(state.value()); !checked) return checked;

    if (state.value() != kServiceStopped) {
        const StateResult stopping = scm.send_stop(service.get());
        if (!stopping) return winapi(stopping.error());
        if (auto checked = check_state(stopping.value()); !checked) return checked;
        // One fixed wait, no polling: the delete takes effect once it has stopped.
        scm.sleep(1000);
    }

    if (const SystemResult deleted = scm.delete_service(service.get()); !deleted) return winapi(deleted.error());
    return service_ok();
}

ServiceResult install() { return install(system_service_manager()); }
ServiceResult remove() { return remove(system_service_manager()); }

}  // namespace launcherwindows::install_service
