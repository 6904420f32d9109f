#include "vesmors_service/service.h"

#include <mutex>
#include <system_error>
#include <thread>

#include "log/logger.h"
#include "vesmors_service/event_loop.h"
#include "vesmors_service/vesmors_actor.h"

namespace launcherwindows::vesmors_service {
namespace {

using logger::kTargetService;

// The control manager may call the handler even after Stopped was reported,
// so a registered handler's state is kept until the process ends.
void keep_until_exit(std::unique_ptr<ControlHandlerState> state) {
    static std::mutex mutex;
    static auto* kept = new std::vector<std::unique_ptr<ControlHandlerState>>();
    const std::lock_guard<std::mutex> lock(mutex);
    kept->push_back(std::move(state));
}

}  // namespace

void stop_waiter(std::shared_ptr<StopFlag> stop, StatusHandle handle,
                 std::function<SystemResult(StatusHandle, const ServiceStatus&)> set_status,
                 EventLoop::Stopper loop) {
    const StopCodes codes = stop->wait();
    logger::info(kTargetService, "setting status to stopped and stopping actor system....");
    // Without the Stopped report the loop is left alone; the process goes on.
    if (!set_status(handle, stopped_status(codes))) return;
    loop.stop(0);
}

ServiceStatus running_status() {
    return {kServiceWin32OwnProcess, kServiceRunning, kServiceAcceptStop, 0, 0, 0, 0};
}

ServiceStatus stopped_status(StopCodes codes) {
    return {kServiceWin32OwnProcess, kServiceStopped, 0, codes.win32_exit_code, codes.service_specific_exit_code, 0, 0};
}

StopCodes codes_after_java(const init::JavaStartResult& java) {
    if (java) return {};
    return {kErrorServiceSpecificError,
            java.error().uncaught_exception ? kJavaUncaughtExceptionCode : kJavaStartFailedCode};
}

std::uint32_t handle_control(std::uint32_t control, ControlHandlerState& state) {
    switch (control) {
        case kControlStop:
            logger::info(kTargetService, "stop event received");
            state.stop->request({});
            return kNoError;
        case kControlInterrogate:
            return kNoError;
        default:
            return kErrorCallNotImplemented;
    }
}

ServiceResult run_service(const std::vector<std::string>&, const ControlManager& manager) {
    EventLoop loop;
    auto stop = std::make_shared<StopFlag>();
    // Queued: it begins when the loop runs, after the Running report.
    loop.start(std::make_unique<VesmorsActor>(manager.start_java, manager.enter_installation_directory, stop));

    auto state = std::make_unique<ControlHandlerState>(ControlHandlerState{stop});
    const Result<StatusHandle, ServiceError> handle = manager.register_handler(state.get());
    if (!handle) return service_error(handle.error());
    keep_until_exit(std::move(state));

    if (const SystemResult reported = manager.set_status(handle.value(), running_status()); !reported) {
        return service_error(ServiceError::winapi(reported.error()));
    }

    try {
        std::thread(stop_waiter, stop, handle.value(), manager.set_status, loop.stopper()).detach();
    } catch (const std::system_error&) {
        // Without the waiter a Stop could never be honoured: say Stopped now.
        (void)manager.set_status(handle.value(), stopped_status({kErrorNotEnoughMemory, 0}));
        return service_error(ServiceError::winapi(kErrorNotEnoughMemory));
    }

    const int exit_code = loop.run();
    if (exit_code != 0) return service_error(ServiceError::winapi(static_cast<std::uint32_t>(exit_code)));
    return service_ok();
}

}  // namespace launcherwindows::vesmors_service
