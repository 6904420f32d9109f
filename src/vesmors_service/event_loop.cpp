#include "vesmors_service/event_loop.h"

namespace launcherwindows::vesmors_service {

void LoopContext::stop(int exit_code) { loop_.stopper().stop(exit_code); }

void LoopContext::start(std::unique_ptr<Actor> actor) { loop_.start(std::move(actor)); }

EventLoop::EventLoop() : shared_(std::make_shared<Shared>()) {}

void EventLoop::Shared::push(Job job) {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        jobs.push_back(std::move(job));
    }
    wake.notify_one();
}

void EventLoop::start(std::unique_ptr<Actor> actor) {
    if (actor) shared_->push(std::move(actor));
}

void EventLoop::Stopper::stop(int exit_code) const { shared_->push(StopJob{exit_code}); }

int EventLoop::run() {
    LoopContext context(*this);
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(shared_->mutex);
            shared_->wake.wait(lock, [this] { return !shared_->jobs.empty(); });
            job = std::move(shared_->jobs.front());
            shared_->jobs.pop_front();
        }
        if (const auto* stop = std::get_if<StopJob>(&job)) return stop->exit_code;
        // The actor ends with its start hook: no one else holds it.
        std::get<std::unique_ptr<Actor>>(job)->started(context);
    }
}

}  // namespace launcherwindows::vesmors_service
