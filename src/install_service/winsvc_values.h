#pragma once
// The values of winsvc.h that the service commands and the service process
// use, for the code that must build without <windows.h>; the Windows files
// check them against the system's headers. The error codes are in
// common/system_error.h.
#include <cstdint>

#include "common/system_error.h"

namespace launcherwindows {

// Access rights.
inline constexpr std::uint32_t kManagerConnect = 0x1;
inline constexpr std::uint32_t kManagerCreateService = 0x2;
inline constexpr std::uint32_t kServiceChangeConfig = 0x2;
inline constexpr std::uint32_t kServiceQueryStatus = 0x4;
inline constexpr std::uint32_t kServiceStart = 0x10;
inline constexpr std::uint32_t kServiceStop = 0x20;
inline constexpr std::uint32_t kDelete = 0x10000;

// Service types, states, controls.
inline constexpr std::uint32_t kServiceWin32OwnProcess = 0x10;
inline constexpr std::uint32_t kServiceStopped = 1;
inline constexpr std::uint32_t kServiceStartPending = 2;
inline constexpr std::uint32_t kServiceStopPending = 3;
inline constexpr std::uint32_t kServiceRunning = 4;
inline constexpr std::uint32_t kServiceAcceptStop = 1;
inline constexpr std::uint32_t kServiceAcceptShutdown = 4;
inline constexpr std::uint32_t kServiceAcceptPreshutdown = 0x100;
inline constexpr std::uint32_t kControlStop = 1;
inline constexpr std::uint32_t kControlInterrogate = 4;
inline constexpr std::uint32_t kControlShutdown = 5;
inline constexpr std::uint32_t kControlPreshutdown = 15;

}  // namespace launcherwindows
