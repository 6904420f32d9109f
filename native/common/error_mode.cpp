#include "common/error_mode.h"

namespace launcherwindows::error_mode {

Saved fail_critical_errors(const Api& api, std::atomic<bool>& process_wide, std::uint32_t mode) {
    Saved saved;
    if (!process_wide.load()) {
        std::uint32_t previous = 0;
        if (api.set_thread_mode(mode, &previous)) {
            if (previous != mode) saved = {Saved::Via::Thread, previous};
            return saved;
        }
        // Any other failure leaves the mode as it was: nothing to undo.
        if (api.last_error() != kErrorCallNotImplemented) return saved;
        process_wide.store(true);
    }
    const std::uint32_t previous = api.set_process_mode(mode);
    if (previous != mode) saved = {Saved::Via::Process, previous};
    return saved;
}

void restore(const Api& api, const Saved& saved) {
    switch (saved.via) {
        case Saved::Via::Nothing: break;
        case Saved::Via::Thread: (void)api.set_thread_mode(saved.previous, nullptr); break;
        case Saved::Via::Process: (void)api.set_process_mode(saved.previous); break;
    }
}

std::atomic<bool>& process_switch() {
    static std::atomic<bool> process_wide{false};
    return process_wide;
}

}  // namespace launcherwindows::error_mode
