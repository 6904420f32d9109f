#pragma once
// One start at a time moves a folder's earlier files: a lock named by the
// folder, shared by every process of the machine (the service in its session,
// the desktop starts in theirs). Each platform in a file of its own
// (folder_lock_windows.cpp, folder_lock_posix.cpp).
#include <chrono>
#include <cstdint>
#include <string>
#include <utility>

#include "common/result.h"

namespace launcherwindows::logger {

class FolderLock {
public:
    // Waits up to `wait` for the lock of the folder (however its path is
    // spelt): the lock, held until it is destroyed, or the system error code
    // (the system's time-out code when another start held it all that time).
    static Result<FolderLock, std::uint32_t> take(const std::string& folder, std::chrono::milliseconds wait);

    FolderLock(FolderLock&& other) noexcept : held_(std::exchange(other.held_, kNone)) {}
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    FolderLock& operator=(FolderLock&&) = delete;
    ~FolderLock();

private:
    // Neither a mutex handle nor a descriptor is ever -1.
    static constexpr std::intptr_t kNone = -1;
    explicit FolderLock(std::intptr_t held) : held_(held) {}

    std::intptr_t held_;  // a Windows mutex HANDLE, or a POSIX descriptor with its flock
};

}  // namespace launcherwindows::logger
