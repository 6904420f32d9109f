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

struct ServiceManager {
    // OpenSCManagerW for the local machine's default database.
    std::function<HandleResult(std::uint32_t access)> open_manager;
    // CreateServiceW of an own-process, auto-start service with normal error
    // control and no group, tag, dependencies or account.
    std::function<HandleResult(ScHandle manager, const std::string& name, const std::string& display_name,
                               std::uint32_t access, const std::string& command_line)>
        create_service;
    std::function<HandleResult(ScHandle manager, const std::string& name, std::uint32_t access)> open_service;
    // The current state, from QueryServiceStatusEx.
    std::function<StateResult(ScHandle service)> query_state;
    // ControlService with the stop control: the state in the status it returns.
    std::function<StateResult(ScHandle service)> send_stop;
    // DeleteService.
    std::function<SystemResult(ScHandle service)> delete_service;
    std::function<void(ScHandle handle)> close;
    std::function<void(std::uint32_t milliseconds)> sleep;
    std::function<ModulePath()> executable_path;
};

// The system's control manager (on other platforms every call fails).
ServiceManager system_service_manager();

}  // namespace launcherwindows::install_service
