#pragma once
// The service process's logic, apart from the control manager's calls, which
// reach it through ControlManager (the real one is Windows-only).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "common/service_identity.h"
#include "init/java_app_start.h"
#include "install_service/service_error.h"
#include "install_service/winsvc_values.h"
#include "process/process.h"
#include "process/util.h"
#include "vesmors_service/event_loop.h"
#include "vesmors_service/stop_flag.h"

namespace launcherwindows::vesmors_service {

// The seven fields of SERVICE_STATUS, in its order.
struct ServiceStatus {
    std::uint32_t service_type;
    std::uint32_t current_state;
    std::uint32_t controls_accepted;
    std::uint32_t win32_exit_code;
    std::uint32_t service_specific_exit_code;
    std::uint32_t check_point;
    std::uint32_t wait_hint;
    bool operator==(const ServiceStatus&) const = default;
};
ServiceStatus running_status();
ServiceStatus stopped_status(StopCodes codes);

// Service-specific exit codes of the Stopped report.
inline constexpr std::uint32_t kJavaStartFailedCode = 1;
inline constexpr std::uint32_t kJavaUncaughtExceptionCode = 2;

// The Stopped report's codes after the Java server's start returned: a
// failed start is service-specific error 1, a main that ended with an
// uncaught exception 2, a normal end no error.
StopCodes codes_after_java(const init::JavaStartResult& java);

// What the control handler keeps: a share of the stop flag.
struct ControlHandlerState {
    std::shared_ptr<StopFlag> stop;
};

// The control handler's decision, by control code; the Windows callback
// forwards here. Returns the handler's result code.
std::uint32_t handle_control(std::uint32_t control, ControlHandlerState& state);

using StatusHandle = std::uintptr_t;

// The control manager as run_service sees it.
struct ControlManager {
    // Registers the control handler for kServiceName with the state as its
    // context; the handle for status reports, or the error.
    std::function<Result<StatusHandle, ServiceError>(ControlHandlerState* state)> register_handler;
    // Sends one status report.
    std::function<SystemResult(StatusHandle handle, const ServiceStatus& status)> set_status;
    // The Java server's start, which returns when the server has ended.
    std::function<init::JavaStartResult()> start_java;
    // The worker's move into the installation directory; false when it failed.
    std::function<bool()> enter_installation_directory = [] {
        return set_working_directory(get_halvora_directory());
    };
};

// The stop waiter's thread body: blocks until the flag is set, reports
// Stopped with the flag's codes and, only when that report went out, asks the
// loop to stop.
void stop_waiter(std::shared_ptr<StopFlag> stop, StatusHandle handle,
                 std::function<SystemResult(StatusHandle, const ServiceStatus&)> set_status,
                 EventLoop::Stopper loop);

// The service main's work: registers the handler, reports Running, starts
// the stop waiter and runs the event loop with the worker until the waiter
// stops it. The handler state stays allocated until the process ends.
ServiceResult run_service(const std::vector<std::string>& arguments, const ControlManager& manager);

}  // namespace launcherwindows::vesmors_service
