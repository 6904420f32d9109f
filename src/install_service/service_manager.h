#pragma once
// The service control manager as the install and remove commands see it. The
// system's is Windows-only; tests bring their own.
#include <cstdint>
#include <functional>
#include <string>

#include "common/result.h"
#include "install_service/winsvc_values.h"
#include "process/process.h"

namespace launcherwindows::install_service {

using ScHandle = std::uintptr_t;
// A handle or a service state, else the system error code of the failed call.
using HandleResult = Result<ScHandle, std::uint32_t>;
using StateResult = Result<std::uint32_t, std::uint32_t>;
// The current state and the controls it accepts now.
struct QueriedStatus {
    std::uint32_t state = 0;
    std::uint32_t controls_accepted = 0;
};
using StatusResult = Result<QueriedStatus, std::uint32_t>;

struct ServiceManager {
    // OpenSCManagerW for the local machine's default database.
    std::function<HandleResult(std::uint32_t access)> open_manager;
    // CreateServiceW of an own-process, auto-start service with normal error
    // control and no group, tag, dependencies or account.
    std::function<HandleResult(ScHandle manager, const std::string& name, const std::string& display_name,
                               std::uint32_t access, const std::string& command_line)>
        create_service;
    std::function<HandleResult(ScHandle manager, const std::string& name, std::uint32_t access)> open_service;
    // QueryServiceStatusEx.
    std::function<StatusResult(ScHandle service)> query_status;
    // ControlService with the stop control: the state in the status it returns.
    std::function<StateResult(ScHandle service)> send_stop;
    // ChangeServiceConfig2W with the preshutdown time-out.
    std::function<SystemResult(ScHandle service, std::uint32_t milliseconds)> set_preshutdown_timeout;
    // DeleteService.
    std::function<SystemResult(ScHandle service)> delete_service;
    std::function<void(ScHandle handle)> close;
    std::function<void(std::uint32_t milliseconds)> sleep;
    std::function<ModulePath()> executable_path;
};

// The system's control manager (on other platforms every call fails).
ServiceManager system_service_manager();

}  // namespace launcherwindows::install_service
