#pragma once
// The service process's entry points for the Windows service dispatcher.
#include <windows.h>

#include <string>
#include <vector>

#include "vesmors_service/service_process.h"

namespace launcherwindows::vesmors_service {

// The service main that the dispatcher calls on a thread of its own.
void WINAPI ffi_service_main(DWORD argc, LPWSTR* argv);

// The service main's work with the real control manager.
ServiceResult run_service(const std::vector<std::string>& arguments);

}  // namespace launcherwindows::vesmors_service
