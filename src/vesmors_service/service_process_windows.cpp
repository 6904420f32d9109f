// The service process's calls into the Windows service control manager.
#include "vesmors_service/service_process_windows.h"

#include "common/unicode_windows.h"
#include "install_service/service_text_windows.h"
#include "log/logger.h"
#include "vesmors_service/service.h"
#include "vesmors_service/vesmors_actor.h"

namespace launcherwindows::vesmors_service {
namespace {

using logger::kTargetService;

static_assert(kServiceWin32OwnProcess == SERVICE_WIN32_OWN_PROCESS);
static_assert(kServiceStopped == SERVICE_STOPPED && kServiceRunning == SERVICE_RUNNING);
static_assert(kServiceStopPending == SERVICE_STOP_PENDING);
static_assert(kServiceAcceptStop == SERVICE_ACCEPT_STOP && kServiceAcceptShutdown == SERVICE_ACCEPT_SHUTDOWN);
static_assert(kServiceAcceptPreshutdown == SERVICE_ACCEPT_PRESHUTDOWN);
static_assert(kControlStop == SERVICE_CONTROL_STOP && kControlInterrogate == SERVICE_CONTROL_INTERROGATE);
static_assert(kControlShutdown == SERVICE_CONTROL_SHUTDOWN && kControlPreshutdown == SERVICE_CONTROL_PRESHUTDOWN);
static_assert(kNoError == NO_ERROR && kErrorCallNotImplemented == ERROR_CALL_NOT_IMPLEMENTED);
static_assert(kErrorNotEnoughMemory == ERROR_NOT_ENOUGH_MEMORY);
static_assert(kErrorServiceSpecificError == ERROR_SERVICE_SPECIFIC_ERROR);
static_assert(kErrorServiceRequestTimeout == ERROR_SERVICE_REQUEST_TIMEOUT);
static_assert(kErrorServiceNotActive == ERROR_SERVICE_NOT_ACTIVE);
static_assert(kErrorServiceCannotAcceptCtrl == ERROR_SERVICE_CANNOT_ACCEPT_CTRL);

DWORD WINAPI control_handler(DWORD control, DWORD, LPVOID, LPVOID context) {
    return handle_control(control, *static_cast<ControlHandlerState*>(context));
}

ControlManager windows_control_manager() {
    ControlManager m;
    m.register_handler = [](ControlHandlerState* state) -> Result<StatusHandle, ServiceError> {
        auto name = install_service::checked_wide(kServiceName, ServiceError::Kind::InvalidServiceName);
        if (!name) return Result<StatusHandle, ServiceError>::err(name.error());
        const SERVICE_STATUS_HANDLE h = RegisterServiceCtrlHandlerExW(name.value().c_str(), control_handler, state);
        if (h == nullptr) return Result<StatusHandle, ServiceError>::err(ServiceError::winapi(GetLastError()));
        return Result<StatusHandle, ServiceError>::ok(reinterpret_cast<StatusHandle>(h));
    };
    m.set_status = [](StatusHandle handle, const ServiceStatus& s) {
        SERVICE_STATUS status{s.service_type,    s.current_state,
                              s.controls_accepted, s.win32_exit_code,
                              s.service_specific_exit_code, s.check_point,
                              s.wait_hint};
        if (SetServiceStatus(reinterpret_cast<SERVICE_STATUS_HANDLE>(handle), &status)) return system_result(NO_ERROR);
        const DWORD e = GetLastError();
        return system_result(e != NO_ERROR ? e : ERROR_INVALID_FUNCTION);
    };
    m.start_java = start_vesmors_java;
    return m;
}

}  // namespace

ServiceResult run_service(const std::vector<std::string>& arguments) {
    return run_service(arguments, windows_control_manager());
}

void WINAPI ffi_service_main(DWORD argc, LPWSTR* argv) {
    std::vector<std::string> arguments;
    for (DWORD i = 0; i < argc && argv != nullptr; ++i) {
        arguments.push_back(argv[i] != nullptr ? unicode::from_wide(argv[i]) : std::string());
    }
    if (!run_service(arguments)) logger::error(kTargetService, "could not start vesmors windows service");
}

ServiceResult run() {
    logger::info(kTargetService, "Inside run method " + std::string(kServiceName));
    auto name = install_service::checked_wide(kServiceName, ServiceError::Kind::InvalidServiceName);
    if (!name) return service_error(name.error());
    SERVICE_TABLE_ENTRYW table[] = {{name.value().data(), ffi_service_main}, {nullptr, nullptr}};
    if (!StartServiceCtrlDispatcherW(table)) return service_error(ServiceError::winapi(GetLastError()));
    await_announced_process_end();
    return service_ok();
}

}  // namespace launcherwindows::vesmors_service
