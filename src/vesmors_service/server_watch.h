#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "vesmors_service/stop_flag.h"

namespace launcherwindows::vesmors_service {

// The Java server's life as the service's stop sees it: the worker moves it
// on, the stop waiter waits on it.
class ServerWatch {
public:
    enum class State { NotStarted, Creating, Running, Ended };
    using Clock = std::chrono::steady_clock;

    // Worker: the server's start begins; false when a stop came first, and
    // then the server must not be started.
    bool begin();
    // Worker: the VM exists.
    void created();
    // Worker: the server's start has returned, with the Stopped report's codes.
    void ended(StopCodes codes);

    // Waiter: a stop is under way; a server not yet begun never will be.
    // Returns the state.
    State stop();
    // Waiter: the state once it differs from `seen`, or at the time point.
    State wait_for_change(State seen, Clock::time_point until);
    // The codes the server ended with (none while it has not).
    StopCodes codes();

private:
    void move_to(State state);

    std::mutex mutex_;
    std::condition_variable changed_;
    State state_ = State::NotStarted;
    StopCodes codes_{};
};

}  // namespace launcherwindows::vesmors_service
