#pragma once
// The files a start writes (the log, the Java trace, the console output) are
// moved aside, not emptied: another process may still be writing to the
// earlier one, and a failed start's records must survive the next try.
#include <string>

#include "common/result.h"

namespace launcherwindows::logger {

// <name>.1 (the newest) to <name>.9 are kept beside <name>.
inline constexpr int kEarlierFilesKept = 9;

// Moves the earlier files one step, <name>.8 to <name>.9 ... <name> to
// <name>.1 (the old <name>.9 dropped), so that <name> can be made fresh;
// files that are not there are skipped. Stops at the first step that fails:
// why, as the log's WARN record says it.
Result<Unit, std::string> keep_earlier_files(const std::string& path);

// The WARN record of a shift that failed; the start goes on either way.
void warn_earlier_files_not_kept(const std::string& reason);

// Both, for a file whose start has its log already.
void keep_earlier_files_or_warn(const std::string& path);

}  // namespace launcherwindows::logger
