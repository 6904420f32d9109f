#pragma once
// Our own small actor host: one queue, start hooks and a thread-safe stop are all the service needs.
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <variant>

namespace launcherwindows::vesmors_service {

class EventLoop;

// What an actor's hooks may ask of the loop that runs them.
class LoopContext {
public:
    // Asks the loop to stop once the jobs queued before this request are done.
    void stop(int exit_code);
    // Starts another actor on the same loop, after the jobs queued now.
    void start(std::unique_ptr<class Actor> actor);

private:
    friend class EventLoop;
    explicit LoopContext(EventLoop& loop) : loop_(loop) {}
    EventLoop& loop_;
};

// An actor that handles no messages: the loop runs its start hook once and
// then drops it, since nobody holds its address.
class Actor {
public:
    virtual ~Actor() = default;
    virtual void started(LoopContext& context) = 0;
};

class EventLoop {
    struct Shared;

public:
    EventLoop();
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    // Queues the actor; it begins when the loop runs (at once if it is
    // running). Safe from any thread.
    void start(std::unique_ptr<Actor> actor);

    // A handle that can stop the loop from another thread, and stays valid
    // after the loop itself is gone (a stop then does nothing).
    class Stopper {
    public:
        void stop(int exit_code) const;

    private:
        friend class EventLoop;
        explicit Stopper(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
        std::shared_ptr<Shared> shared_;
    };
    Stopper stopper() const { return Stopper(shared_); }

    // Runs the queued jobs in order on the calling thread, blocking while the
    // queue is empty, until a stop request is taken; returns its exit code.
    int run();

private:
    struct StopJob {
        int exit_code;
    };
    using Job = std::variant<std::unique_ptr<Actor>, StopJob>;
    struct Shared {
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<Job> jobs;
        void push(Job job);
    };
    std::shared_ptr<Shared> shared_;
};

}  // namespace launcherwindows::vesmors_service
