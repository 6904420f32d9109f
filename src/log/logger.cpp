#include "log/logger.h"

#include <atomic>
#include <cstdio>
#include <mutex>

#include "log/earlier_files.h"
#include "log/log_file.h"
#include "common/log_folder.h"
#include "process/util.h"

namespace launcherwindows::logger {
namespace {

struct State {
    std::mutex lock;
    LogFile file;
    std::string path;
};

std::atomic<int> g_max_level{static_cast<int>(Level::Off)};
// Lives until the process ends: threads may still log during exit.
std::atomic<State*> g_state{nullptr};
std::mutex g_install_lock;

void report_failure(std::string_view what) {
    std::fprintf(stderr, "launcher log: %.*s\n", static_cast<int>(what.size()), what.data());
    std::fflush(stderr);
}

}  // namespace

std::string_view level_name(Level level) {
    switch (level) {
        case Level::Error: return "ERROR";
        case Level::Warn: return "WARN";
        case Level::Info: return "INFO";
        case Level::Debug: return "DEBUG";
        case Level::Trace: return "TRACE";
        case Level::Off: break;
    }
    return "OFF";
}

std::string format_timestamp(const LocalTime& t) {
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day,
                          t.hour, t.minute, t.second);
    std::string out(buf, static_cast<std::size_t>(n));
    // The fewest of 3, 6 or 9 digits that show every non-zero digit.
    if (t.nanoseconds != 0) {
        if (t.nanoseconds % 1000000 == 0) {
            n = std::snprintf(buf, sizeof buf, ".%03u", t.nanoseconds / 1000000);
        } else if (t.nanoseconds % 1000 == 0) {
            n = std::snprintf(buf, sizeof buf, ".%06u", t.nanoseconds / 1000);
        } else {
            n = std::snprintf(buf, sizeof buf, ".%09u", t.nanoseconds);
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
    const int off = t.offset_minutes < 0 ? -t.offset_minutes : t.offset_minutes;
    n = std::snprintf(buf, sizeof buf, "%c%02d:%02d", t.offset_minutes < 0 ? '-' : '+', off / 60, off % 60);
    out.append(buf, static_cast<std::size_t>(n));
    return out;
}

std::string format_record(const LocalTime& t, Level level, std::string_view target,
                          std::string_view message) {
    std::string out;
    out.reserve(64 + target.size() + message.size());
    out += format_timestamp(t);
    out += ' ';
    out += level_name(level);
    out += ' ';
    out += target;
    out += " - ";
    out += message;
    out += "\r\n\n";
    return out;
}

std::string log_file_path(const std::string& installation_directory) {
    std::string path = installation_directory;
    if (path.empty() || path.back() != kPathSeparator) path += kPathSeparator;
    path += kLogFolder;
    path += kPathSeparator;
    path += "launcher.log";
    return path;
}

bool enabled(Level level) {
    return static_cast<int>(level) <= g_max_level.load(std::memory_order_relaxed) && level != Level::Off;
}

void write(Level level, std::string_view target, std::string_view message) {
    if (!enabled(level)) return;
    State* state = g_state.load(std::memory_order_acquire);
    if (state == nullptr) return;
    std::lock_guard<std::mutex> guard(state->lock);
    if (!state->file.is_open()) return;
    const std::string record = format_record(now_local(), level, target, message);
    if (const auto appended = state->file.append(record); !appended)
        report_failure("cannot write a record: " + appended.error());
}

std::string file_location() {
    State* state = g_state.load(std::memory_order_acquire);
    if (state == nullptr) return {};
    std::lock_guard<std::mutex> guard(state->lock);
    if (!state->file.is_open()) return {};
    std::string path = state->file.final_path();
    return path.empty() ? state->path : path;
}

namespace detail {

bool install(const std::string& path) {
    std::lock_guard<std::mutex> guard(g_install_lock);
    if (g_state.load() != nullptr) return false;
    auto* state = new State();
    state->path = path;
    if (const auto opened = state->file.open(path); !opened) {
        // Without a file the program still runs; the records are lost.
        report_failure("cannot open " + path + ": " + opened.error());
    }
    g_state.store(state, std::memory_order_release);
    g_max_level.store(static_cast<int>(Level::Info), std::memory_order_relaxed);
    return true;
}

void uninstall_for_tests() {
    std::lock_guard<std::mutex> guard(g_install_lock);
    g_max_level.store(static_cast<int>(Level::Off));
    State* state = g_state.exchange(nullptr);
    delete state;
}

void set_max_level(Level level) { g_max_level.store(static_cast<int>(level)); }

}  // namespace detail

void initialize() {
    constexpr std::string_view kRefused = "a logger is installed already; the second set-up is refused";
    // A second set-up must not move this process's own file away either.
    if (g_state.load(std::memory_order_acquire) != nullptr) return report_failure(kRefused);
    const std::string path = log_file_path(get_halvora_directory());
    bool installed = false;
    const auto not_kept = keep_earlier_files_and_open(path, [&] { installed = detail::install(path); });
    if (!installed) return report_failure(kRefused);
    // Said once the new file is open, in it.
    if (not_kept) warn_earlier_files_not_kept(*not_kept);
}

}  // namespace launcherwindows::logger
