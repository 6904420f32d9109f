#pragma once
// The files a start writes (the log, the Java trace, the console output) are
// moved aside, never emptied: another process may still be writing to an
// earlier one, and a failed start's records must survive the next try.
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "common/result.h"

namespace launcherwindows::logger {

// <name>.1 (the newest) to <name>.9 are kept beside <name>.
inline constexpr int kEarlierFilesKept = 9;
// How long a start waits for other starts' moves, for all its files together.
inline constexpr std::chrono::milliseconds kFolderLockWait{5000};

// Moves the earlier files one step, <name>.8 to <name>.9 ... <name> to
// <name>.1, so that <name> can be made fresh; files that are not there are
// skipped. No file that a process holds open is dropped, and no step replaces
// a file: while <name>.9 is held, the files newer than the highest free place
// below it (a gap, or else the oldest file nobody holds, which is dropped)
// move instead, and the older ones keep their numbers. The first step that
// fails stops the shift, and <name> stays where it is. Why, as the log's WARN
// record says it.
Result<Unit, std::string> keep_earlier_files(const std::string& path);

// What one start may still wait for its folders' locks: kFolderLockWait in
// all, and nothing once a wait has timed out, so that a start that hangs
// under a lock costs the others one wait, not one per file.
class LockWaits {
public:
    explicit LockWaits(std::chrono::milliseconds budget = kFolderLockWait) : left_ms_(budget.count()) {}
    std::chrono::milliseconds left() const { return std::chrono::milliseconds(left_ms_.load()); }
    bool timed_out() const { return timed_out_.load(); }
    void spend(std::chrono::milliseconds waited);
    void time_out();

private:
    std::atomic<long long> left_ms_;
    std::atomic<bool> timed_out_{false};
};

// This process's start.
LockWaits& this_start();

// One start at a time per folder: under the folder's lock (when it cannot be
// had in the time `waits` has left, nothing is moved), keeps the earlier
// files and then calls `open`, which makes <name> or writes on at its end,
// never empties it. The WARN record's reason when the start must say why the
// earlier files were not kept (once for a wait that timed out, not for each
// later file that had no time left to wait).
std::optional<std::string> keep_earlier_files_and_open(const std::string& path, const std::function<void()>& open,
                                                       LockWaits& waits = this_start());

// The WARN record of a shift that failed; the start goes on either way.
void warn_earlier_files_not_kept(const std::string& reason);

// Both, for a file whose start has its log already.
void keep_earlier_files_and_open_or_warn(const std::string& path, const std::function<void()>& open);

}  // namespace launcherwindows::logger
