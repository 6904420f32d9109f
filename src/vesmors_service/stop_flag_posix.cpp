#include "vesmors_service/stop_flag.h"

namespace launcherwindows::vesmors_service {

void StopFlag::wait_while_false(std::atomic<bool>& flag) {
    while (!flag.load(std::memory_order_acquire)) flag.wait(false, std::memory_order_acquire);
}

void StopFlag::wake(std::atomic<bool>& flag) { flag.notify_one(); }

}  // namespace launcherwindows::vesmors_service
