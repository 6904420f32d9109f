#pragma once
// The files a start writes (the log, the Java trace, the console output) are
// moved aside, never emptied: another process may still be writing to an
// earlier one, and a failed start's records must survive the next try.
#include <chrono>
#include <functional>
#include <string>

#include "common/result.h"

namespace launcherwindows::logger {

// <name>.1 (the newest) to <name>.9 are kept beside <name>.
inline constexpr int kEarlierFilesKept = 9;
// How long a start waits for another start's moves in the same folder.
inline constexpr std::chrono::milliseconds kFolderLockWait{5000};

// Moves the earlier files one step, <name>.8 to <name>.9 ... <name> to
// <name>.1, so that <name> can be made fresh; files that are not there are
// skipped. The old <name>.9 is dropped only when no process holds it open,
// and no step replaces a file: the first step that fails stops the shift,
// and <name> stays where it is. Why, as the log's WARN record says it.
Result<Unit, std::string> keep_earlier_files(const std::string& path);

// One start at a time per folder: under the folder's lock (after `wait`
// without it, nothing is moved), keeps the earlier files and then calls
// `open`, which makes <name> or writes on at its end, never empties it. Why a
// step failed, for the WARN record.
Result<Unit, std::string> keep_earlier_files_and_open(const std::string& path, const std::function<void()>& open,
                                                      std::chrono::milliseconds wait = kFolderLockWait);

// The WARN record of a shift that failed; the start goes on either way.
void warn_earlier_files_not_kept(const std::string& reason);

// Both, for a file whose start has its log already.
void keep_earlier_files_and_open_or_warn(const std::string& path, const std::function<void()>& open);

}  // namespace launcherwindows::logger
