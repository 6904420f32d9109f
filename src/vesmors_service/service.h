#pragma once
// The service process's logic, apart from the control manager's calls, which
// reach it through ControlManager (the real one is Windows-only).
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
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
#include "vesmors_service/server_watch.h"
#include "vesmors_service/stop_flag.h"
#include "vesmors_service/stop_timing.h"

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
// Running accepts Stop, Shutdown and Preshutdown; StopPending accepts nothing.
ServiceStatus running_status();
ServiceStatus stop_pending_status(std::uint32_t check_point, std::uint32_t wait_hint_ms);
ServiceStatus stopped_status(StopCodes codes);

// Service-specific exit codes of the Stopped report.
inline constexpr std::uint32_t kJavaStartFailedCode = 1;
inline constexpr std::uint32_t kJavaUncaughtExceptionCode = 2;

// The Stopped report's codes after the Java server's start returned: a
// failed start is service-specific error 1, a main that ended with an
// uncaught exception 2, a normal end no error.
StopCodes codes_after_java(const init::JavaStartResult& java);
// After the server ended the process with System.exit(code): no error for 0,
// else the code as service-specific error.
StopCodes codes_after_exit(std::int32_t code);

// When the server outlives the bound: Stopped with these codes, and the
// process ends with the first as its status.
inline constexpr StopCodes kServerTimeoutCodes{kErrorServiceRequestTimeout, 0};

// What the control handler keeps: a share of the stop flag.
struct ControlHandlerState {
    std::shared_ptr<StopFlag> stop;
};

// The control handler's decision, by control code; the Windows callback
// forwards here. Returns the handler's result code.
std::uint32_t handle_control(std::uint32_t control, ControlHandlerState& state);

using StatusHandle = std::uintptr_t;
using SetStatus = std::function<SystemResult(StatusHandle handle, const ServiceStatus& status)>;

// The service's status reports, from whichever thread: one at a time, and
// none after a Stopped report went out.
class StatusReports {
public:
    StatusReports(StatusHandle handle, SetStatus set_status)
        : handle_(handle), set_status_(std::move(set_status)) {}
    // ERROR_SERVICE_NOT_ACTIVE once Stopped was reported.
    SystemResult send(const ServiceStatus& status);

private:
    std::mutex mutex_;
    bool stopped_ = false;
    StatusHandle handle_;
    SetStatus set_status_;
};

// Another thread ends the process right after its Stopped report (the
// server's exit, the stop's bound); the dispatcher then returns on the main
// thread, which must leave the end to it rather than run exit handlers
// beside the runtime's threads.
void announce_process_end();
// Waits a while for an announced end; returns at once when there is none.
void await_announced_process_end();

// The control manager as run_service sees it.
struct ControlManager {
    // Registers the control handler for kServiceName with the state as its
    // context; the handle for status reports, or the error.
    std::function<Result<StatusHandle, ServiceError>(ControlHandlerState* state)> register_handler;
    // Sends one status report.
    SetStatus set_status;
    // The Java server's start, which returns when the server has ended (or
    // does not, when the server ends the process).
    std::function<init::JavaStartResult(const init::JavaEvents& events)> start_java;
    // Asks the running server to end as System.exit(0) does; false when none runs.
    std::function<bool()> request_java_exit = [] { return init::request_java_exit(0); };
    // Ends the process at once with the status.
    std::function<void(std::uint32_t status)> end_process = [](std::uint32_t status) {
        terminate_process(static_cast<int>(status));
    };
    StopTiming stop_timing{};
    // The worker's move into the installation directory; false when it failed.
    std::function<bool()> enter_installation_directory = [] {
        return set_working_directory(get_halvora_directory()).is_ok();
    };
};

// The stop waiter's thread body. It blocks until the flag is set. A server
// that runs (or is being created) is asked to end as System.exit(0) does,
// under StopPending reports with rising check points, and its exit hook
// reports Stopped; one that has not ended within the bound is left: Stopped
// with kServerTimeoutCodes and the process ends. Without a server, Stopped
// goes out at once with the flag's codes and, only when that report went
// out, the loop is asked to stop.
struct StopWaiter {
    std::shared_ptr<StopFlag> stop;
    std::shared_ptr<ServerWatch> server;
    std::shared_ptr<StatusReports> reports;
    std::function<bool()> request_java_exit;
    std::function<void(std::uint32_t)> end_process;
    StopTiming timing;
    EventLoop::Stopper loop;
    void operator()() const;
};

// The service main's work: registers the handler, reports Running, starts
// the stop waiter and runs the event loop with the worker until the waiter
// stops it. The handler state stays allocated until the process ends.
ServiceResult run_service(const std::vector<std::string>& arguments, const ControlManager& manager);

}  // namespace launcherwindows::vesmors_service
