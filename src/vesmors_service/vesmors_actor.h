#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "init/java_app_start.h"
#include "vesmors_service/event_loop.h"
#include "vesmors_service/server_watch.h"
#include "vesmors_service/stop_flag.h"

namespace launcherwindows::vesmors_service {

// The service's worker. Its start hook prepares the working directory and
// the environment, runs the Java server until it ends (telling the watch of
// its life), and then asks for the service to stop, so that a service
// without its server is not left Running. A stop that came first leaves the
// server unstarted.
class VesmorsActor : public Actor {
public:
    using StartJava = std::function<init::JavaStartResult(const init::JavaEvents&)>;
    VesmorsActor(StartJava start_java, std::function<bool()> enter_installation_directory,
                 std::shared_ptr<StopFlag> stop, std::shared_ptr<ServerWatch> server,
                 std::function<void(std::int32_t)> exiting);
    void started(LoopContext& context) override;

private:
    StartJava start_java_;
    std::function<bool()> enter_installation_directory_;
    std::shared_ptr<StopFlag> stop_;
    std::shared_ptr<ServerWatch> server_;
    std::function<void(std::int32_t)> exiting_;
};

// The Java start the worker makes: the vesmors application with its
// compiled-in record.
init::JavaStartResult start_vesmors_java(const init::JavaEvents& events);

}  // namespace launcherwindows::vesmors_service
