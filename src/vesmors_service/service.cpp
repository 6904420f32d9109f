#include "vesmors_service/service.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>

#include "log/logger.h"
#include "vesmors_service/event_loop.h"
#include "vesmors_service/vesmors_actor.h"

namespace launcherwindows::vesmors_service {
namespace {

using logger::kTargetService;
using Clock = ServerWatch::Clock;

std::atomic<bool> g_process_end_announced{false};

// The control manager may call the handler even after Stopped was reported,
// so a registered handler's state is kept until the process ends.
void keep_until_exit(std::unique_ptr<ControlHandlerState> state) {
    static std::mutex mutex;
    static auto* kept = new std::vector<std::unique_ptr<ControlHandlerState>>();
    const std::lock_guard<std::mutex> lock(mutex);
    kept->push_back(std::move(state));
}

std::uint32_t milliseconds(Clock::duration d) {
    return static_cast<std::uint32_t>(
        std::max<std::int64_t>(0, std::chrono::ceil<std::chrono::milliseconds>(d).count()));
}

}  // namespace

ServiceStatus running_status() {
    return {kServiceWin32OwnProcess, kServiceRunning,
            kServiceAcceptStop | kServiceAcceptShutdown | kServiceAcceptPreshutdown, 0, 0, 0, 0};
}

ServiceStatus stop_pending_status(std::uint32_t check_point, std::uint32_t wait_hint_ms) {
    return {kServiceWin32OwnProcess, kServiceStopPending, 0, 0, 0, check_point, wait_hint_ms};
}

ServiceStatus stopped_status(StopCodes codes) {
    return {kServiceWin32OwnProcess, kServiceStopped, 0, codes.win32_exit_code, codes.service_specific_exit_code, 0, 0};
}

StopCodes codes_after_java(const init::JavaStartResult& java) {
    if (java) return {};
    return {kErrorServiceSpecificError,
            java.error().uncaught_exception ? kJavaUncaughtExceptionCode : kJavaStartFailedCode};
}

StopCodes codes_after_exit(std::int32_t code) {
    if (code == 0) return {};
    return {kErrorServiceSpecificError, static_cast<std::uint32_t>(code)};
}

SystemResult StatusReports::send(const ServiceStatus& status) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (stopped_) return system_result(kErrorServiceNotActive);
    SystemResult sent = set_status_(handle_, status);
    if (sent && status.current_state == kServiceStopped) stopped_ = true;
    return sent;
}

void announce_process_end() { g_process_end_announced.store(true, std::memory_order_release); }

void await_announced_process_end() {
    // The announcer ends the process right after its report; the bound only
    // keeps a fault of ours from hanging here.
    if (g_process_end_announced.load(std::memory_order_acquire)) std::this_thread::sleep_for(std::chrono::seconds(10));
}

std::uint32_t handle_control(std::uint32_t control, ControlHandlerState& state) {
    switch (control) {
        case kControlStop:
            logger::info(kTargetService, "stop event received");
            state.stop->request({});
            return kNoError;
        // The machine's shutdown, announced first by Preshutdown, for which
        // the manager waits up to the registered time-out rather than ~5 s.
        case kControlPreshutdown:
        case kControlShutdown:
            logger::info(kTargetService, "shutdown event received");
            state.stop->request({});
            return kNoError;
        case kControlInterrogate:
            return kNoError;
        default:
            return kErrorCallNotImplemented;
    }
}

void StopWaiter::operator()() const {
    const StopCodes codes = stop->wait();
    logger::info(kTargetService, "setting status to stopped and stopping actor system....");
    const Clock::time_point deadline = Clock::now() + timing.bound;
    std::uint32_t check_point = 0;
    bool asked = false;
    for (ServerWatch::State state = server->stop(); state != ServerWatch::State::Ended;) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline) {
            announce_process_end();
            logger::error(kTargetService, "the Java server did not end within " + std::to_string(timing.bound.count()) +
                                              " s of the stop request; the service stops without it");
            (void)reports->send(stopped_status(kServerTimeoutCodes));
            end_process(kServerTimeoutCodes.win32_exit_code);
            loop.stop(0);  // only where ending the process is not ours to do
            return;
        }
        (void)reports->send(stop_pending_status(++check_point, milliseconds(deadline - now + timing.check_point_interval)));
        // After StopPending, which the exit hook's Stopped must follow; never
        // from the handler's thread, since System.exit runs the hooks on its caller.
        if (state == ServerWatch::State::Running && !asked) asked = request_java_exit();
        state = server->wait_for_change(state, std::min(deadline, now + timing.check_point_interval));
    }
    // A server whose start failed under the stop says so rather than the stop.
    const StopCodes server_codes = server->codes();
    const StopCodes reported = server_codes.win32_exit_code != kNoError ? server_codes : codes;
    // Without a Stopped report (ours now, or the exit hook's before) the loop
    // is left alone; the process goes on.
    if (const SystemResult sent = reports->send(stopped_status(reported)); !sent && sent.error() != kErrorServiceNotActive) {
        return;
    }
    loop.stop(0);
}

ServiceResult run_service(const std::vector<std::string>&, const ControlManager& manager) {
    EventLoop loop;
    auto stop = std::make_shared<StopFlag>();
    auto server = std::make_shared<ServerWatch>();

    auto state = std::make_unique<ControlHandlerState>(ControlHandlerState{stop});
    const Result<StatusHandle, ServiceError> handle = manager.register_handler(state.get());
    if (!handle) return service_error(handle.error());
    keep_until_exit(std::move(state));
    auto reports = std::make_shared<StatusReports>(handle.value(), manager.set_status);

    // The server's own exit reports Stopped before the process ends.
    auto exiting = [reports](std::int32_t code) {
        announce_process_end();
        (void)reports->send(stopped_status(codes_after_exit(code)));
    };
    // Queued: it begins when the loop runs, after the Running report.
    loop.start(std::make_unique<VesmorsActor>(manager.start_java, manager.enter_installation_directory, stop, server,
                                              std::move(exiting)));

    if (const SystemResult reported = reports->send(running_status()); !reported) {
        return service_error(ServiceError::winapi(reported.error()));
    }

    try {
        std::thread(StopWaiter{stop, server, reports, manager.request_java_exit, manager.end_process,
                               manager.stop_timing, loop.stopper()})
            .detach();
    } catch (const std::system_error&) {
        // Without the waiter a Stop could never be honoured: say Stopped now.
        (void)reports->send(stopped_status({kErrorNotEnoughMemory, 0}));
        return service_error(ServiceError::winapi(kErrorNotEnoughMemory));
    }

    const int exit_code = loop.run();
    if (exit_code != 0) return service_error(ServiceError::winapi(static_cast<std::uint32_t>(exit_code)));
    return service_ok();
}

}  // namespace launcherwindows::vesmors_service
