#pragma once
#include <functional>
#include <memory>

#include "init/java_app_start.h"
#include "vesmors_service/event_loop.h"
#include "vesmors_service/stop_flag.h"

namespace launcherwindows::vesmors_service {

// The service's worker. Its start hook prepares the working directory and
// the environment, runs the Java server until it ends, and then asks for the
// service to stop, so that a service without its server is not left Running.
class VesmorsActor : public Actor {
public:
    VesmorsActor(std::function<init::JavaStartResult()> start_java,
                 std::function<bool()> enter_installation_directory, std::shared_ptr<StopFlag> stop);
    void started(LoopContext& context) override;

private:
    std::function<init::JavaStartResult()> start_java_;
    std::function<bool()> enter_installation_directory_;
    std::shared_ptr<StopFlag> stop_;
};

// The Java start the worker makes: the vesmors application with its
// compiled-in record.
init::JavaStartResult start_vesmors_java();

}  // namespace launcherwindows::vesmors_service
