#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cipher_api.h"
#include "result.h"
#include "service_error.h"

namespace launcherwindows {

inline constexpr std::string_view kUsageText =
    "usage:\nlauncher <app>\n    app can be ormic, ormad, zentu, vesmors.\n";

// What the dispatch calls out to; tests replace single entries.
struct DispatchOps {
    std::function<void()> initialize_log;
    std::function<bool(std::string_view app)> integrity_valid;
    std::function<StartResult(std::string_view app, std::string_view record)> start_java;
    std::function<StartResult(std::string_view argument)> start_zentu;
    std::function<ServiceResult(std::string_view sub_command)> start_vesmors;
    std::function<std::string()> installation_directory;
    std::function<bool(const std::string&)> set_working_directory;
};
DispatchOps default_dispatch_ops();

// The dispatch on UTF-8 command-line elements; the process exit status.
int dispatch(const std::vector<std::string>& args, const DispatchOps& ops);

}  // namespace launcherwindows

extern "C" {
// The dispatch of the program's library: argc/argv are UTF-8. The cipher
// functions are received and not used.
int entry(int argc, char** argv, launcher_distribution_key_fn key_provider,
          launcher_cfb_fn encrypt_fn, launcher_cfb_fn decrypt_fn);
}
