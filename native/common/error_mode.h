#pragma once
// Suppressing the system's critical-error message boxes around a library
// load. The system calls come in through Api so that the paths real Windows
// never takes (the thread call missing) can be driven from tests.
#include <atomic>
#include <cstdint>

#include "common/system_error.h"

namespace launcherwindows::error_mode {

inline constexpr std::uint32_t kFailCriticalErrors = 0x0001;  // SEM_FAILCRITICALERRORS

struct Api {
    // SetThreadErrorMode: true on success; previous may be null.
    bool (*set_thread_mode)(std::uint32_t mode, std::uint32_t* previous);
    // SetErrorMode: returns the previous process-wide mode.
    std::uint32_t (*set_process_mode)(std::uint32_t mode);
    std::uint32_t (*last_error)();
};

// How to put the previous mode back; Via::Nothing when there is nothing to undo.
struct Saved {
    enum class Via { Nothing, Thread, Process };
    Via via = Via::Nothing;
    std::uint32_t previous = 0;
};

// Sets SEM_FAILCRITICALERRORS (or the given mode) on the calling thread. Once
// the thread call has failed with ERROR_CALL_NOT_IMPLEMENTED, process_wide is
// set for good and the process-wide mode is used from then on.
Saved fail_critical_errors(const Api& api, std::atomic<bool>& process_wide,
                           std::uint32_t mode = kFailCriticalErrors);

// Puts the previous mode back with the function that replaced it.
void restore(const Api& api, const Saved& saved);

// This process's switch to the process-wide mode.
std::atomic<bool>& process_switch();

// The Windows functions (error_mode_windows.cpp; Windows builds only).
const Api& system_api();

}  // namespace launcherwindows::error_mode
