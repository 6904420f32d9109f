// The Windows service control manager's calls for install and remove.
#include <windows.h>

#include "common/unicode_windows.h"
#include "install_service/service_manager.h"

namespace launcherwindows::install_service {
namespace {

static_assert(kManagerConnect == SC_MANAGER_CONNECT && kManagerCreateService == SC_MANAGER_CREATE_SERVICE);
static_assert(kServiceQueryStatus == SERVICE_QUERY_STATUS && kDelete == DELETE);
static_assert(kServiceStart == SERVICE_START && kServiceStop == SERVICE_STOP);
static_assert(kServiceChangeConfig == SERVICE_CHANGE_CONFIG);
static_assert(kServiceStopped == SERVICE_STOPPED && kServiceStartPending == SERVICE_START_PENDING);

SC_HANDLE sc(ScHandle h) { return reinterpret_cast<SC_HANDLE>(h); }

// The error code is read right after the failed call.
HandleResult handle_or_error(SC_HANDLE h) {
    if (h == nullptr) return HandleResult::err(GetLastError());
    return HandleResult::ok(reinterpret_cast<ScHandle>(h));
}

}  // namespace

ServiceManager system_service_manager() {
    ServiceManager m;
    m.open_manager = [](std::uint32_t access) {
        return handle_or_error(OpenSCManagerW(nullptr, nullptr, access));
    };
    m.create_service = [](ScHandle manager, const std::string& name, const std::string& display_name,
                          std::uint32_t access, const std::string& command_line) {
        return handle_or_error(CreateServiceW(sc(manager), unicode::to_wide(name).c_str(),
                                              unicode::to_wide(display_name).c_str(), access,
                                              SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                              unicode::to_wide(command_line).c_str(), nullptr, nullptr, nullptr,
                                              nullptr, nullptr));
    };
    m.open_service = [](ScHandle manager, const std::string& name, std::uint32_t access) {
        return handle_or_error(OpenServiceW(sc(manager), unicode::to_wide(name).c_str(), access));
    };
    m.query_status = [](ScHandle service) {
        SERVICE_STATUS_PROCESS status{};
        static_assert(sizeof(status) == 36);
        DWORD needed = 0;
        if (!QueryServiceStatusEx(sc(service), SC_STATUS_PROCESS_INFO, reinterpret_cast<LPBYTE>(&status),
                                  sizeof(status), &needed)) {
            return StatusResult::err(GetLastError());
        }
        return StatusResult::ok({status.dwCurrentState, status.dwControlsAccepted});
    };
    m.send_stop = [](ScHandle service) {
        SERVICE_STATUS status{};
        if (!ControlService(sc(service), SERVICE_CONTROL_STOP, &status)) return StateResult::err(GetLastError());
        return StateResult::ok(status.dwCurrentState);
    };
    m.set_preshutdown_timeout = [](ScHandle service, std::uint32_t milliseconds) {
        SERVICE_PRESHUTDOWN_INFO info{milliseconds};
        return system_result(ChangeServiceConfig2W(sc(service), SERVICE_CONFIG_PRESHUTDOWN_INFO, &info) ? 0
                                                                                                       : GetLastError());
    };
    m.delete_service = [](ScHandle service) {
        return system_result(DeleteService(sc(service)) ? 0 : GetLastError());
    };
    m.close = [](ScHandle h) { CloseServiceHandle(sc(h)); };
    m.sleep = [](std::uint32_t milliseconds) { Sleep(milliseconds); };
    m.executable_path = current_executable_path;
    return m;
}

}  // namespace launcherwindows::install_service
