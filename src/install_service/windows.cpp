// Install and remove through the Windows service control manager.
#include <windows.h>

#include <cstdio>
#include <string>

#include "../logger.h"
#include "../unicode.h"
#include "../util.h"
#include "command_line.h"
#include "mod.h"
#include "service_handle.h"
#include "service_text.h"

namespace launcherwindows::install_service {
namespace {

using logger::kTargetMain;
using Kind = ServiceError::Kind;

constexpr std::string_view kServiceName = "vesmors";
constexpr std::string_view kDisplayName = "Halvora VESMOR Service";
constexpr std::string_view kLaunchArgument = "start";

ServiceResult last_error() { return service_error(ServiceError::winapi(GetLastError())); }

void print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

}  // namespace

ServiceResult install() {
    logger::info(kTargetMain, "going to call install for vesmor service");
    print("before service manager\n");

    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE));
    if (!manager) return last_error();

    const ModulePath exe = current_executable_path();
    print(path_line(exe) + "\n");
    if (!exe.path) {
        fatal_stop("cannot determine the path of the running executable: " + system_error_message(exe.error));
    }

    auto name = checked_wide(kServiceName, Kind::InvalidServiceName);
    if (!name) return service_error(name.error());
    auto display = checked_wide(kDisplayName, Kind::InvalidDisplayName);
    if (!display) return service_error(display.error());
    if (auto e = text_error(*exe.path, Kind::InvalidExecutablePath)) return service_error(*e);
    if (auto e = text_error(kLaunchArgument, Kind::InvalidLaunchArgument)) return service_error(*e);
    const std::wstring command = unicode::to_wide(service_command_line(*exe.path));

    const ServiceHandle service(CreateServiceW(manager.get(), name.value().c_str(), display.value().c_str(),
                                               SERVICE_START | SERVICE_STOP, SERVICE_WIN32_OWN_PROCESS,
                                               SERVICE_AUTO_START, SERVICE_ERROR_NORMAL, command.c_str(),
                                               nullptr, nullptr, nullptr, nullptr, nullptr));
    if (!service) return last_error();
    return service_ok();
}

ServiceResult remove() {
    logger::info(kTargetMain, "going to call uninstall for vesmor service");

    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return last_error();

    auto name = checked_wide(kServiceName, Kind::InvalidServiceName);
    if (!name) return service_error(name.error());
    const ServiceHandle service(OpenServiceW(manager.get(), name.value().c_str(),
                                             DELETE | SERVICE_STOP | SERVICE_QUERY_STATUS));
    if (!service) return last_error();

    SERVICE_STATUS_PROCESS process_status{};
    DWORD needed = 0;
    static_assert(sizeof(process_status) == 36);
    if (!QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<LPBYTE>(&process_status),
                              sizeof(process_status), &needed)) {
        return last_error();
    }
    if (auto e = state_error(process_status.dwCurrentState)) return service_error(*e);

    if (process_status.dwCurrentState != SERVICE_STOPPED) {
        SERVICE_STATUS status{};
        if (!ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) return last_error();
        if (auto e = state_error(status.dwCurrentState)) return service_error(*e);
        // One fixed wait, no polling: the delete takes effect once it has stopped.
        Sleep(1000);
    }

    if (!DeleteService(service.get())) return last_error();
    return service_ok();
}

}  // namespace launcherwindows::install_service
