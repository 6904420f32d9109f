#pragma once
#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cipher/cipher_api.h"
#include "common/result.h"
#include "dispatch/failure_window.h"
#include "init/applications.h"
#include "install_service/service_error.h"

namespace launcherwindows {

namespace detail {
inline constexpr std::string_view kUsageHead = "usage:\nlauncher <app>\n    app can be ";
inline constexpr std::string_view kUsageTail = ".\n";
template <class Emit>
constexpr void usage_parts(Emit emit) {
    emit(kUsageHead);
    bool first = true;
    for (const init::Application& a : init::kApplications) {
        if (!init::startable(a.kind)) continue;
        if (!first) emit(std::string_view(", "));
        emit(a.word);
        first = false;
    }
    emit(kUsageTail);
}
constexpr std::size_t usage_size() {
    std::size_t n = 0;
    usage_parts([&](std::string_view part) { n += part.size(); });
    return n;
}
inline constexpr auto kUsageChars = [] {
    std::array<char, usage_size()> chars{};
    std::size_t at = 0;
    usage_parts([&](std::string_view part) {
        for (const char c : part) chars[at++] = c;
    });
    return chars;
}();
}  // namespace detail

// "usage:\nlauncher <app>\n    app can be ormic, ormad, zentu, vesmors.\n":
// the words that start an application, in the table's order.
inline constexpr std::string_view kUsageText{detail::kUsageChars.data(), detail::kUsageChars.size()};

// What the dispatch calls out to; tests replace single entries.
struct DispatchOps {
    std::function<void()> initialize_log;
    std::function<bool(std::string_view app)> integrity_valid;
    std::function<StartResult(std::string_view app, std::string_view record)> start_java;
    std::function<StartResult(std::string_view argument)> start_zentu;
    std::function<ServiceResult(std::string_view sub_command)> start_vesmors;
    std::function<std::string()> installation_directory;
    std::function<SystemResult(const std::string&)> set_working_directory;
    failure_window::Desktop desktop;
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
