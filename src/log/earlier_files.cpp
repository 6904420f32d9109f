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

std::string numbered(const std::string& path, int n) { return n == 0 ? path : path + "." + std::to_string(n); }

std::string not_moved(const std::string& from, const std::string& to, std::uint32_t code) {
    return from + " cannot be moved to " + to + ": " + os_error_text(code);
}

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(filesystem_path(path), ec);
}

}  // namespace

Result<Unit, std::string> keep_earlier_files(const std::string& path) {
    for (int n = kEarlierFilesKept - 1; n >= 0; --n) {
        const std::string from = numbered(path, n);
        const std::string to = numbered(path, n + 1);
        // The oldest makes room only when nobody writes to it any more (a
        // running service whose log has come this far).
        if (n + 1 == kEarlierFilesKept && exists(from)) {
            if (const auto dropped = drop_unheld_file(to); !dropped)
                return Result<Unit, std::string>::err(not_moved(from, to, dropped.error()));
        }
        if (const auto moved = move_file(from, to); !moved)
            return Result<Unit, std::string>::err(not_moved(from, to, moved.error()));
    }
    return Result<Unit, std::string>::ok(Unit{});
}

Result<Unit, std::string> keep_earlier_files_and_open(const std::string& path, const std::function<void()>& open,
                                                      std::chrono::milliseconds wait) {
    const auto lock = FolderLock::take(parent_directory(path).value_or(""), wait);
    // Another start still moving them: nothing is moved, <name> is written on.
    const auto kept = lock ? keep_earlier_files(path)
                           : Result<Unit, std::string>::err(not_moved(path, numbered(path, 1), lock.error()));
    open();
    return kept;
}

void warn_earlier_files_not_kept(const std::string& reason) {
    warn(kTargetMain, "earlier log files are not kept: " + reason);
}

void keep_earlier_files_and_open_or_warn(const std::string& path, const std::function<void()>& open) {
    if (const auto kept = keep_earlier_files_and_open(path, open); !kept) warn_earlier_files_not_kept(kept.error());
}

}  // namespace launcherwindows::logger
