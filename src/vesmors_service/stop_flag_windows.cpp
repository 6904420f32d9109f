// libstdc++'s atomic wait for MinGW (GCC 12) can lose a wake-up: its notify
// does not take the lock its waiter sleeps under. WaitOnAddress compares and
// sleeps in one step.
#include "vesmors_service/stop_flag.h"

#include <windows.h>

namespace launcherwindows::vesmors_service {

static_assert(sizeof(std::atomic<bool>) == sizeof(bool));

void StopFlag::wait_while_false(std::atomic<bool>& flag) {
    while (!flag.load(std::memory_order_acquire)) {
        bool still = false;
        WaitOnAddress(&flag, &still, sizeof(still), INFINITE);
    }
}

void StopFlag::wake(std::atomic<bool>& flag) { WakeByAddressSingle(&flag); }

}  // namespace launcherwindows::vesmors_service
