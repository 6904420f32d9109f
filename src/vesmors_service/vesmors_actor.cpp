#include "vesmors_service/vesmors_actor.h"

#include <optional>
#include <string>
#include <string_view>

#include "init/applications.h"
#include "init/java_app_start.h"
#include "log/logger.h"
#include "process/process.h"
#include "process/util.h"
#include "text/quoted.h"
#include "vesmors_service/service.h"

namespace launcherwindows::vesmors_service {
namespace {

using logger::kTargetService;

struct EnvironmentRow {
    const char* name;
    const char* value;
    const char* log_prefix;
};
// Relative to the installation directory, which the hook makes current.
constexpr EnvironmentRow kEnvironment[] = {
    {"L1_HOME", ".\\vesmor\\l1", "L1_HOME set to "},
    {"PATH", ".\\vesmor\\l1\\bin;.\\jre\\bin", "VESMORS path set to "},
    {"LD_LIBRARY_PATH", ".\\vesmor\\l1\\bin", "LD_LIBRARY_PATH set to "},
};

}  // namespace

VesmorsActor::VesmorsActor(StartJava start_java, std::function<bool()> enter_installation_directory,
                           std::shared_ptr<StopFlag> stop, std::shared_ptr<ServerWatch> server,
                           std::function<void(std::int32_t)> exiting)
    : start_java_(std::move(start_java)),
      enter_installation_directory_(std::move(enter_installation_directory)),
      stop_(std::move(stop)),
      server_(std::move(server)),
      exiting_(std::move(exiting)) {}

void VesmorsActor::started(LoopContext&) {
    logger::info(kTargetService, "starting the vesmors actor.....");
    // On failure the relative paths below resolve against the old directory.
    (void)enter_installation_directory_();
    for (const EnvironmentRow& row : kEnvironment) {
        set_environment_variable(row.name, row.value);
        if (logger::enabled(logger::Level::Info)) {
            logger::info(kTargetService, row.log_prefix + environment_variable(row.name));
        }
    }

    if (!server_->begin()) return;
    const init::JavaStartResult java = start_java_({[server = server_] { server->created(); }, exiting_});
    if (java) {
        logger::info(kTargetService, "vesmors java application ended");
    } else {
        logger::error(kTargetService, "Application error: " + quoted_form(java.error().text));
    }
    const StopCodes codes = codes_after_java(java);
    server_->ended(codes);
    stop_->request(codes);
}

init::JavaStartResult start_vesmors_java(const init::JavaEvents& events) {
    return init::start_java_app(init::kServiceApplication, init::compiled_record(init::kServiceApplication), events);
}

}  // namespace launcherwindows::vesmors_service
