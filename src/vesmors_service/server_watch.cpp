#include "vesmors_service/server_watch.h"

namespace launcherwindows::vesmors_service {

void ServerWatch::move_to(State state) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        state_ = state;
    }
    changed_.notify_all();
}

bool ServerWatch::begin() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (state_ != State::NotStarted) return false;
    state_ = State::Creating;
    return true;
}

void ServerWatch::created() { move_to(State::Running); }

void ServerWatch::ended(StopCodes codes) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        codes_ = codes;
    }
    move_to(State::Ended);
}

StopCodes ServerWatch::codes() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return codes_;
}

ServerWatch::State ServerWatch::stop() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (state_ == State::NotStarted) state_ = State::Ended;
    return state_;
}

ServerWatch::State ServerWatch::wait_for_change(State seen, Clock::time_point until) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_until(lock, until, [&] { return state_ != seen; });
    return state_;
}

}  // namespace launcherwindows::vesmors_service
