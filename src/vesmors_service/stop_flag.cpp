#include "vesmors_service/stop_flag.h"

namespace launcherwindows::vesmors_service {

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
