#include "dispatch/dispatch.h"

#include <cstdio>
#include <optional>

#include "dispatch/vesmors.h"
#include "dispatch/zentu.h"
#include "init/applications.h"
#include "init/java_app_start.h"
#include "integrity/integrity.h"
#include "log/logger.h"
#include "process/process.h"
#include "process/util.h"
#include "common/system_error.h"
#include "text/quoted.h"

namespace launcherwindows {
namespace {

using logger::kTargetMain;

void print_usage() {
    std::fwrite(kUsageText.data(), 1, kUsageText.size(), stdout);
    std::fflush(stdout);
}

// The invocation-name form's check: nothing is logged before its fatal stop.
void check_integrity_or_stop(const std::string& word, const DispatchOps& ops) {
    if (!ops.integrity_valid(word)) fatal_stop("integrity of " + word + " application is invalid");
}

// The records' relative paths (the runtime, its folders, the jars) must
// name the files that the check verifies, wherever the caller started us.
// Why it could not be entered, once logged.
std::optional<std::string> enter_installation_directory(const DispatchOps& ops) {
    const std::string directory = ops.installation_directory();
    const SystemResult entered = ops.set_working_directory(directory);
    if (entered) return std::nullopt;
    const std::string cause = "the working directory cannot be set to the installation directory " + directory +
                              ": " + os_error_text(entered.error());
    logger::error(kTargetMain, cause);
    return cause;
}

int invocation_name_form(const std::vector<std::string>& args, bool is_service, const DispatchOps& ops) {
    std::string sub_command = args[1];
    // The documented "launcher vesmors install" works in every folder, the
    // service's own and zentu's too: the word hands the next element to the service.
    if (init::without_dashes(sub_command) == init::kServiceApplication) {
        is_service = true;
        sub_command = args.size() > 2 ? args[2] : std::string();
    }
    if (is_service) {
        const std::string word(init::kServiceApplication);
        logger::info(kTargetMain, "starting " + word + " windows service");
        // A failure matters to the foreground server only: the others load
        // nothing here, and the service's worker enters the directory itself.
        if (vesmors_action(sub_command) == VesmorsAction::Daemon) {
            if (enter_installation_directory(ops)) return -1;
        } else {
            (void)ops.set_working_directory(ops.installation_directory());
        }
        check_integrity_or_stop(word, ops);
        const ServiceResult r = ops.start_vesmors(sub_command);
        if (r) return 0;
        logger::error(kTargetMain, "Application error : " + r.error().diagnostic());
        return -1;
    }
    const std::string word(init::kNativeLibraryApplication);
    logger::info(kTargetMain, "starting " + word);
    check_integrity_or_stop(word, ops);
    const StartResult r = ops.start_zentu(sub_command);
    if (r) return 0;
    logger::error(kTargetMain, "Application error: " + quoted_form(r.error()));
    return -1;
}

int command_word_form(const std::vector<std::string>& args, const DispatchOps& ops) {
    logger::info(kTargetMain, "using launcher executable for startup");
    const std::string& first = args[1];
    // Typed by anyone: a line break in it must not make a record of its own.
    logger::info(kTargetMain, "Entry:: " + controls_escaped(first) + "\n");
    const std::string second = args.size() == 3 ? args[2] : std::string();

    const std::string word(init::without_dashes(first));
    const auto app = init::find_application(word);
    if (!app || !init::startable(app->kind)) {
        print_usage();
        return 0;
    }

    // A desktop start's failure is also told in a window, when nobody reads
    // our output: from here on, and for a fatal stop too.
    const failure_window::Watch watch(word, ops.desktop);
    const bool starts_java = app->kind == init::Kind::JavaDesktop ||
                             (app->kind == init::Kind::Service && vesmors_action(second) == VesmorsAction::Daemon);
    if (starts_java) {
        if (const auto cause = enter_installation_directory(ops)) {
            watch.failed(*cause);
            return -1;
        }
    }
    logger::info(kTargetMain, "Performing integrity check on the files......");
    if (!ops.integrity_valid(word)) {
        logger::error(kTargetMain, "integrity of " + word + " application failed");
        fatal_stop("integrity of " + word + " application in invalid");
    }

    if (app->kind == init::Kind::Service) {
        const ServiceResult r = ops.start_vesmors(second);
        if (!r) logger::error(kTargetMain, "Error while starting " + word + " " + r.error().diagnostic());
        return 0;
    }

    const StartResult r = app->kind == init::Kind::NativeLibrary ? ops.start_zentu(second)
                                                                 : ops.start_java(word, init::compiled_record(word));
    if (r) return 0;
    logger::error(kTargetMain, "error while starting up " + first);
    logger::error(kTargetMain, "Application error: " + quoted_form(r.error()));
    watch.failed(r.error());
    return -1;
}

}  // namespace

DispatchOps default_dispatch_ops() {
    DispatchOps ops;
    ops.initialize_log = [] { logger::initialize(); };
    ops.integrity_valid = [](std::string_view app) { return integrity::is_valid(app); };
    ops.start_java = [](std::string_view app, std::string_view record) {
        return init::configure_and_start_java_app(app, record);
    };
    ops.start_zentu = [](std::string_view argument) { return zentu(argument); };
    ops.start_vesmors = [](std::string_view sub) { return vesmors(sub); };
    ops.installation_directory = [] { return get_halvora_directory(); };
    ops.set_working_directory = [](const std::string& dir) { return launcherwindows::set_working_directory(dir); };
    ops.desktop = failure_window::system_desktop();
    return ops;
}

int dispatch(const std::vector<std::string>& args, const DispatchOps& ops) {
    if (args.size() < 2) return 0;
    ops.initialize_log();
    const std::string& program = args[0];
    // The service's word wins when the path holds both.
    if (init::path_names(program, init::kServiceApplication)) return invocation_name_form(args, true, ops);
    if (init::path_names(program, init::kNativeLibraryApplication)) return invocation_name_form(args, false, ops);
    return command_word_form(args, ops);
}

}  // namespace launcherwindows

extern "C" int entry(int argc, char** argv, launcher_distribution_key_fn, launcher_cfb_fn, launcher_cfb_fn) {
    std::vector<std::string> args;
    args.reserve(argc > 0 ? static_cast<std::size_t>(argc) : 0);
    for (int i = 0; i < argc; ++i) args.emplace_back(argv[i] != nullptr ? argv[i] : "");
    return launcherwindows::dispatch(args, launcherwindows::default_dispatch_ops());
}
