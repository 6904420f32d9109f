#include "common/error_mode.h"

#include <windows.h>

namespace launcherwindows::error_mode {

static_assert(kFailCriticalErrors == SEM_FAILCRITICALERRORS && kErrorCallNotImplemented == ERROR_CALL_NOT_IMPLEMENTED);

namespace {

bool set_thread_mode(std::uint32_t mode, std::uint32_t* previous) {
    DWORD old = 0;
    if (SetThreadErrorMode(mode, previous != nullptr ? &old : nullptr) == 0) return false;
    if (previous != nullptr) *previous = old;
    return true;
}

std::uint32_t set_process_mode(std::uint32_t mode) { return SetErrorMode(mode); }
std::uint32_t last_error() { return GetLastError(); }

}  // namespace

const Api& system_api() {
    static const Api api{set_thread_mode, set_process_mode, last_error};
    return api;
}

}  // namespace launcherwindows::error_mode
