#include "init/java_app_start.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "init/classpath.h"
#include "init/records.h"
#include "java_start/java_start.h"
#include "log/earlier_files.h"
#include "log/logger.h"
#include "common/log_folder.h"
#include "process/console_output.h"
#include "process/file_names.h"
#include "java_start/trace_file.h"

namespace launcherwindows::init {

namespace {

// The records the runtime's hooks leave, and then what the host asked for.
java_start::Events hook_events(const std::string& name, JavaEvents events) {
    java_start::Events hooks;
    hooks.created = std::move(events.created);
    hooks.exiting = [name, exiting = std::move(events.exiting)](std::int32_t code) {
        const std::string message =
            "the Java application " + name + " ended the process with System.exit(" + std::to_string(code) + ")";
        if (code == 0) {
            logger::info(logger::kTargetInit, message);
        } else {
            logger::error(logger::kTargetInit, message);
        }
        if (exiting) exiting(code);
    };
    hooks.natives_refused = [](const std::string& key_provider, const std::string& reason) {
        logger::warn(logger::kTargetInit,
                     "the cipher natives could not be registered on " + key_provider + ": " + reason);
    };
    hooks.aborting = [name] { logger::error(logger::kTargetInit, "the Java runtime of " + name + " aborted"); };
    return hooks;
}

}  // namespace

bool request_java_exit(std::int32_t code) { return java_start::request_exit(code); }

Result<Unit, std::string> make_heap_dump_folder(const std::vector<std::string>& options) {
    constexpr std::string_view kHeapDumpPath = "-XX:HeapDumpPath=";
    std::string folder;
    // The runtime takes the last one.
    for (const auto& option : options) {
        if (option.starts_with(kHeapDumpPath)) folder = option.substr(kHeapDumpPath.size());
    }
    using R = Result<Unit, std::string>;
    std::error_code ec;
    if (folder.empty() || std::filesystem::exists(filesystem_path(folder), ec)) return R::ok(Unit{});
    std::filesystem::create_directories(filesystem_path(folder), ec);
    return ec ? R::err("the heap dump folder " + folder + " cannot be made: " + ec.message()) : R::ok(Unit{});
}

JavaStartResult start_java_app(std::string_view app_name, std::string_view record_text, JavaEvents events) {
    const std::string name(app_name);
    auto app = read_java_app(record_text);
    if (!app) return java_start_failed("error while loading app config for " + name + ": " + app.error().to_string());
    auto class_path = build_class_path_option(app_name);
    if (!class_path) return java_start_failed(class_path.error());

    // The record's options in record order, the class path last.
    std::vector<std::string> options = std::move(app.value().options);
    options.push_back(std::move(class_path.value()));
    std::vector<const char*> option_strings;
    option_strings.reserve(options.size());
    for (const auto& option : options) option_strings.push_back(option.c_str());

    logger::info(logger::kTargetInit, "Start java application " + name);
    console::keep_output(name);
    if (const auto made = make_heap_dump_folder(options); !made) logger::warn(logger::kTargetInit, made.error());
    const std::string trace_path = working_log_file(kJavaTraceFile);
    std::FILE* trace = nullptr;
    logger::keep_earlier_files_and_open_or_warn(trace_path, [&] { trace = open_trace_file(trace_path); });
    const JavaApp& record = app.value();
    const java_start::Outcome outcome =
        java_start::start(record.jvm_path.c_str(), option_strings.data(),
                          static_cast<std::int32_t>(option_strings.size()), record.main_class.c_str(),
                          record.encrypt_class.c_str(), trace, hook_events(name, std::move(events)));
    if (outcome) return java_start_ok();
    const std::string& cause = outcome.error().cause;
    if (outcome.error().status == kJavaStartUncaughtException) {
        return java_uncaught_exception("the Java application " + name + " ended with an uncaught exception" +
                                       (cause.empty() ? "" : ": " + cause));
    }
    return java_start_failed("the Java start of " + name + " failed" + (cause.empty() ? "" : ": " + cause) +
                             "; see " + std::string(kJavaTraceFile));
}

StartResult configure_and_start_java_app(std::string_view app_name, std::string_view record_text) {
    const JavaStartResult r = start_java_app(app_name, record_text);
    return r ? start_ok() : start_error(r.error().text);
}

}  // namespace launcherwindows::init
