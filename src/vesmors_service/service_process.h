#pragma once
#include <string>
#include <vector>

#include "../service_error.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace launcherwindows::vesmors_service {

// Hands the calling (main) thread to the service dispatcher and returns when
// it does, that is once the service has reported Stopped.
ServiceResult run();

#ifdef _WIN32
// The service main that the dispatcher calls on a thread of its own.
void WINAPI ffi_service_main(DWORD argc, LPWSTR* argv);

// The service main's work with the real control manager.
ServiceResult run_service(const std::vector<std::string>& arguments);
#endif

}  // namespace launcherwindows::vesmors_service
