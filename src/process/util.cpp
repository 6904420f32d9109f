#include "process/util.h"

#include <atomic>
#include <cstdio>

#include "common/system_error.h"
#include "path_rules.h"
#include "process/process.h"

namespace launcherwindows {
namespace {
std::atomic<FatalStopListener> g_fatal_stop_listener{nullptr};
}  // namespace

void set_fatal_stop_listener(FatalStopListener listener) { g_fatal_stop_listener.store(listener); }

std::optional<std::string> parent_directory(std::string_view path) {
    const std::size_t root = path_root_length(path);
    std::size_t end = path.size();
    while (end > root && is_path_separator(path[end - 1])) --end;  // trailing separators
    if (end <= root) return std::nullopt;                           // the root itself
    std::size_t cut = end;
    while (cut > root && !is_path_separator(path[cut - 1])) --cut;  // last component
    if (cut == 0) return std::nullopt;                              // a bare name
    std::size_t parent_end = cut;
    while (parent_end > root && is_path_separator(path[parent_end - 1])) --parent_end;
    return std::string(path.substr(0, parent_end));
}

std::string get_halvora_directory() {
    const ModulePath exe = current_executable_path();
    if (!exe) {
        fatal_stop("cannot determine the path of the running executable: " +
                   system_error_message(exe.error()));
    }
    const auto bin = parent_directory(exe.value());
    if (!bin) fatal_stop("Executable must be in some directory");
    const auto install = parent_directory(*bin);
    // The executable sits in a root directory: there is no level above it.
    if (!install) fatal_stop("Executable must be one directory level below the installation directory");
    return *install;
}

void fatal_stop(std::string_view message) {
    std::fflush(stdout);
    std::fwrite(message.data(), 1, message.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    if (const FatalStopListener listener = g_fatal_stop_listener.load()) listener(message);
    terminate_process(3);
}

}  // namespace launcherwindows
