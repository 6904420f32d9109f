#include "log/earlier_files.h"

#include "common/system_error.h"
#include "log/logger.h"
#include "process/file_names.h"

namespace launcherwindows::logger {
namespace {

std::string numbered(const std::string& path, int n) { return n == 0 ? path : path + "." + std::to_string(n); }

}  // namespace

Result<Unit, std::string> keep_earlier_files(const std::string& path) {
    for (int n = kEarlierFilesKept - 1; n >= 0; --n) {
        const std::string from = numbered(path, n);
        const std::string to = numbered(path, n + 1);
        if (const auto moved = move_file(from, to); !moved) {
            return Result<Unit, std::string>::err(from + " cannot be moved to " + to + ": " +
                                                  os_error_text(moved.error()));
        }
    }
    return Result<Unit, std::string>::ok(Unit{});
}

void warn_earlier_files_not_kept(const std::string& reason) {
    warn(kTargetMain, "earlier log files are not kept: " + reason);
}

void keep_earlier_files_or_warn(const std::string& path) {
    if (const auto kept = keep_earlier_files(path); !kept) warn_earlier_files_not_kept(kept.error());
}

}  // namespace launcherwindows::logger
