#include "vesmors_actor.h"

#include <optional>
#include <string>
#include <string_view>

#include "../init/app_records.h"
#include "../init/java_app_start.h"
#include "../logger.h"
#include "../quoted.h"
#include "../util.h"
#include "service.h"

#ifdef _WIN32
#include <windows.h>
#include "../unicode_windows.h"
#else
#include <cstdlib>
#endif

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

void set_environment(const char* name, const char* value) {
#ifdef _WIN32
    SetEnvironmentVariableW(unicode::to_wide(name).c_str(), unicode::to_wide(value).c_str());
#else
    setenv(name, value, 1);
#endif
}

std::string read_environment(const char* name) {
#ifdef _WIN32
    const std::wstring wide_name = unicode::to_wide(name);
    std::wstring value(256, L'\0');
    for (;;) {
        const DWORD n = GetEnvironmentVariableW(wide_name.c_str(), value.data(), static_cast<DWORD>(value.size()));
        if (n == 0) return {};
        if (n < value.size()) {
            value.resize(n);
            return unicode::from_wide(value);
        }
        value.resize(n);  // n counts the terminating NUL here
    }
#else
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
#endif
}

}  // namespace

VesmorsActor::VesmorsActor(std::function<init::JavaStartResult()> start_java,
                           std::function<bool()> enter_installation_directory, std::shared_ptr<StopFlag> stop)
    : start_java_(std::move(start_java)),
      enter_installation_directory_(std::move(enter_installation_directory)),
      stop_(std::move(stop)) {}

void VesmorsActor::started(LoopContext&) {
    logger::info(kTargetService, "starting the vesmors actor.....");
    // On failure the relative paths below resolve against the old directory.
    (void)enter_installation_directory_();
    for (const EnvironmentRow& row : kEnvironment) {
        set_environment(row.name, row.value);
        if (logger::enabled(logger::Level::Info)) {
            logger::info(kTargetService, row.log_prefix + read_environment(row.name));
        }
    }

    const init::JavaStartResult java = start_java_();
    if (java.result) {
        logger::info(kTargetService, "vesmors java application ended");
    } else {
        logger::error(kTargetService, "Application error: " + quoted_form(java.result.error()));
    }
    stop_->request(codes_after_java(java));
}

init::JavaStartResult start_vesmors_java() {
    return init::start_java_app("vesmors", init::compiled_record("vesmors"));
}

}  // namespace launcherwindows::vesmors_service
