#include "dispatch/vesmors.h"

#include <cstdio>

#include "dispatch/dispatch.h"
#include "init/applications.h"
#include "init/java_app_start.h"
#include "install_service/service_commands.h"
#include "log/logger.h"
#include "text/quoted.h"
#include "vesmors_service/service_process.h"

namespace launcherwindows {

VesmorsAction vesmors_action(std::string_view s) {
    if (s == "--install" || s == "-i" || s == "install") return VesmorsAction::Install;
    if (s == "--remove" || s == "-r" || s == "remove") return VesmorsAction::Remove;
    if (s == "--start" || s == "-t" || s == "start" || s == "--service" || s == "-s") return VesmorsAction::RunService;
    if (s == "daemon") return VesmorsAction::Daemon;
    return VesmorsAction::Usage;
}

ServiceResult vesmors(std::string_view sub_command) {
    switch (vesmors_action(sub_command)) {
        case VesmorsAction::Install: return install_service::install();
        case VesmorsAction::Remove: return install_service::remove();
        case VesmorsAction::RunService: return vesmors_service::run();
        case VesmorsAction::Daemon: {
            // Success either way, but a server that never started is not silent.
            const StartResult r = init::configure_and_start_java_app(
                init::kServiceApplication, init::compiled_record(init::kServiceApplication));
            if (!r) logger::error(logger::kTargetMain, "Application error: " + quoted_form(r.error()));
            return service_ok();
        }
        case VesmorsAction::Usage: break;
    }
    std::fwrite(kUsageText.data(), 1, kUsageText.size(), stdout);
    std::fflush(stdout);
    return service_ok();
}

}  // namespace launcherwindows
