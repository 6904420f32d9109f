#include "stop_flag.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace launcherwindows::vesmors_service {

#ifdef _WIN32
// libstdc++'s atomic wait for MinGW (GCC 12) can lose a wake-up: its notify
// does not take the lock its waiter sleeps under. WaitOnAddress compares and
// sleeps in one step.
static_assert(sizeof(std::atomic<bool>) == sizeof(bool));

namespace {
void wait_while_false(std::atomic<bool>& flag) {
    while (!flag.load(std::memory_order_acquire)) {
        bool still = false;
        WaitOnAddress(&flag, &still, sizeof(still), INFINITE);
    }
}
void wake(std::atomic<bool>& flag) { WakeByAddressSingle(&flag); }
}  // namespace
#else
namespace {
void wait_while_false(std::atomic<bool>& flag) {
    while (!flag.load(std::memory_order_acquire)) flag.wait(false, std::memory_order_acquire);
}
void wake(std::atomic<bool>& flag) { flag.notify_one(); }
}  // namespace
#endif

bool StopFlag::request(StopCodes codes) {
    if (claimed_.test_and_set(std::memory_order_acq_rel)) return false;
    codes_ = codes;
    stop_.store(true, std::memory_order_release);
    wake(stop_);
    return true;
}

StopCodes StopFlag::wait() {
    wait_while_false(stop_);
    return codes_;
}

}  // namespace launcherwindows::vesmors_service
