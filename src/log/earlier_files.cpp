#include "log/earlier_files.h"

#include <filesystem>
#include <system_error>

#include "common/system_error.h"
#include "log/folder_lock.h"
#include "log/logger.h"
#include "process/file_names.h"
#include "process/util.h"

namespace launcherwindows::logger {
namespace {

using Kept = Result<Unit, std::string>;

std::string numbered(const std::string& path, int n) { return n == 0 ? path : path + "." + std::to_string(n); }

std::string not_moved(const std::string& from, const std::string& to, std::uint32_t code) {
    return from + " cannot be moved to " + to + ": " + os_error_text(code);
}

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(filesystem_path(path), ec);
}

// The number of the place the newer files move up into while <name>.9 is
// held: the highest gap below it, or else the oldest file that nobody holds,
// dropped here. <name> itself, the start just before this one, is never
// dropped.
Result<int, std::string> room_below_a_held_oldest(const std::string& path, std::uint32_t held) {
    for (int n = kEarlierFilesKept - 1; n >= 0; --n) {
        if (!exists(numbered(path, n))) return Result<int, std::string>::ok(n);
    }
    for (int n = kEarlierFilesKept - 1; n >= 1; --n) {
        if (drop_unheld_file(numbered(path, n))) return Result<int, std::string>::ok(n);
    }
    return Result<int, std::string>::err(numbered(path, 1) + " to " + numbered(path, kEarlierFilesKept) +
                                         " cannot be dropped to make room: " + os_error_text(held));
}

}  // namespace

// As few calls as a start can make: every start of the suite runs it for
// each of its files.
Kept keep_earlier_files(const std::string& path) {
    int room = kEarlierFilesKept;
    // The oldest makes room only when nobody writes to it any more: a running
    // service's log that has come this far stays, and another earlier file
    // makes room below it.
    if (exists(numbered(path, room - 1))) {
        if (const auto dropped = drop_unheld_file(numbered(path, room)); !dropped) {
            const auto below = room_below_a_held_oldest(path, dropped.error());
            if (!below) return Kept::err(below.error());
            room = below.value();
        }
    }
    for (int n = room - 1; n >= 0; --n) {
        if (const auto moved = move_file(numbered(path, n), numbered(path, n + 1)); !moved)
            return Kept::err(not_moved(numbered(path, n), numbered(path, n + 1), moved.error()));
    }
    return Kept::ok(Unit{});
}

void LockWaits::spend(std::chrono::milliseconds waited) {
    long long left = left_ms_.load();
    while (!left_ms_.compare_exchange_weak(left, left > waited.count() ? left - waited.count() : 0)) {
    }
}

void LockWaits::time_out() {
    left_ms_.store(0);
    timed_out_.store(true);
}

LockWaits& this_start() {
    static LockWaits waits;
    return waits;
}

std::optional<std::string> keep_earlier_files_and_open(const std::string& path, const std::function<void()>& open,
                                                       LockWaits& waits) {
    const bool told_already = waits.timed_out();
    const auto began = std::chrono::steady_clock::now();
    const auto lock = FolderLock::take(parent_directory(path).value_or(""), waits.left());
    if (!lock) {
        // Another start still moving them: nothing is moved, <name> is written on.
        waits.time_out();
        open();
        if (told_already) return std::nullopt;
        return not_moved(path, numbered(path, 1), lock.error());
    }
    waits.spend(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began));
    const Kept kept = keep_earlier_files(path);
    open();
    if (kept) return std::nullopt;
    return kept.error();
}

void warn_earlier_files_not_kept(const std::string& reason) {
    warn(kTargetMain, "earlier log files are not kept: " + reason);
}

void keep_earlier_files_and_open_or_warn(const std::string& path, const std::function<void()>& open) {
    if (const auto reason = keep_earlier_files_and_open(path, open)) warn_earlier_files_not_kept(*reason);
}

}  // namespace launcherwindows::logger
