#pragma once
#include <atomic>
#include <cstdint>

namespace launcherwindows::vesmors_service {

// The exit codes of the Stopped report.
struct StopCodes {
    std::uint32_t win32_exit_code = 0;
    std::uint32_t service_specific_exit_code = 0;
};

// The service's stop flag: an atomic boolean written once and read by one
// waiter, which blocks on it rather than reading it in a loop. A Stop control
// and the worker's end may both ask; the first request's codes are the ones
// reported.
class StopFlag {
public:
    // Returns false when an earlier request was taken already.
    bool request(StopCodes codes);
    // Blocks until a request was made; one thread waits.
    StopCodes wait();
    bool requested() const { return stop_.load(std::memory_order_acquire); }

private:
    // The platform's blocking wait on stop_ and its wake-up
    // (stop_flag_windows.cpp, stop_flag_posix.cpp).
    static void wait_while_false(std::atomic<bool>& flag);
    static void wake(std::atomic<bool>& flag);

    std::atomic_flag claimed_;       // the requesters race for this
    StopCodes codes_{};              // written by the winner before stop_
    std::atomic<bool> stop_{false};  // its single writer is the winner
};

}  // namespace launcherwindows::vesmors_service
