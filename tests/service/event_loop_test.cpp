// The service's event loop and stop flag.
#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>
#include <vector>

#include "vesmors_service/event_loop.h"
#include "vesmors_service/stop_flag.h"

using namespace launcherwindows::vesmors_service;

namespace {

// Runs a function as its start hook.
class HookActor : public Actor {
public:
    HookActor(std::function<void(LoopContext&)> hook, int* destroyed = nullptr)
        : hook_(std::move(hook)), destroyed_(destroyed) {}
    ~HookActor() override {
        if (destroyed_ != nullptr) ++*destroyed_;
    }
    void started(LoopContext& context) override { hook_(context); }

private:
    std::function<void(LoopContext&)> hook_;
    int* destroyed_;
};

std::unique_ptr<Actor> actor(std::function<void(LoopContext&)> hook, int* destroyed = nullptr) {
    return std::make_unique<HookActor>(std::move(hook), destroyed);
}

}  // namespace

TEST(EventLoop, ActorsStartedBeforeItRunsBeginInOrderOnTheRunningThreadAndAreThenDropped) {
    EventLoop loop;
    std::vector<std::string> seen;
    int destroyed = 0;
    std::thread::id hook_thread;
    loop.start(actor([&](LoopContext&) { seen.push_back("first"); }, &destroyed));
    loop.start(actor(
        [&](LoopContext& c) {
            seen.push_back("second");
            hook_thread = std::this_thread::get_id();
            c.start(actor([&](LoopContext& inner) {
                seen.push_back("third, started from a hook");
                inner.stop(7);
            }));
        },
        &destroyed));
    EXPECT_TRUE(seen.empty());  // queued only

    const int exit_code = loop.run();
    EXPECT_EQ(exit_code, 7);
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "second", "third, started from a hook"}));
    EXPECT_EQ(hook_thread, std::this_thread::get_id());
    EXPECT_EQ(destroyed, 2);  // nobody holds an actor once its hook returned
}

TEST(EventLoop, StopFromAnotherThreadWaitsForTheRunningHookAndEndsAnIdleLoop) {
    EventLoop loop;
    std::promise<void> hook_entered;
    std::promise<void> release_hook;
    std::shared_future<void> released = release_hook.get_future().share();
    bool hook_returned = false;
    loop.start(actor([&](LoopContext&) {
        hook_entered.set_value();
        released.wait();
        hook_returned = true;
    }));

    auto result = std::async(std::launch::async, [&] { return loop.run(); });
    hook_entered.get_future().wait();
    loop.stopper().stop(0);  // queued behind the busy hook
    EXPECT_EQ(result.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    release_hook.set_value();
    EXPECT_EQ(result.get(), 0);
    EXPECT_TRUE(hook_returned);

    // A loop with nothing to do blocks until a stop arrives from elsewhere.
    EventLoop idle;
    auto idle_result = std::async(std::launch::async, [&] { return idle.run(); });
    std::thread([stopper = idle.stopper()] { stopper.stop(3); }).join();
    EXPECT_EQ(idle_result.get(), 3);
}

TEST(EventLoop, AStopperOutlivesItsLoop) {
    auto loop = std::make_unique<EventLoop>();
    const EventLoop::Stopper stopper = loop->stopper();
    loop.reset();
    stopper.stop(0);  // no effect, and nothing freed is touched
}

TEST(StopFlag, TheFirstRequestWinsAndWakesTheBlockedWaiter) {
    StopFlag flag;
    EXPECT_FALSE(flag.requested());
    auto waiter = std::async(std::launch::async, [&] { return flag.wait(); });

    std::vector<std::thread> requesters;
    std::atomic<int> winners{0};
    for (std::uint32_t i = 1; i <= 8; ++i) {
        requesters.emplace_back([&, i] {
            if (flag.request({i, i * 10})) ++winners;
        });
    }
    for (auto& t : requesters) t.join();

    const StopCodes codes = waiter.get();
    EXPECT_EQ(winners.load(), 1);
    EXPECT_TRUE(flag.requested());
    EXPECT_EQ(codes.service_specific_exit_code, codes.win32_exit_code * 10);  // one request's pair
    EXPECT_FALSE(flag.request({99, 99}));
    EXPECT_EQ(flag.wait().win32_exit_code, codes.win32_exit_code);
}
