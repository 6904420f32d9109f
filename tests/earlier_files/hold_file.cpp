// hold_file [--lock] <path> <release>: opens the file sharing reading and
// writing but not deleting, as many editors and log viewers do (or, with
// --lock, takes the lock a start takes to move the folder's earlier files),
// creates <release>.held, and keeps it until <release> exists (tests only).
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include "common/unicode_windows.h"
#include "log/folder_lock.h"

int wmain(int argc, wchar_t** argv) {
    const bool lock = argc == 4 && std::wstring(argv[1]) == L"--lock";
    if (argc != (lock ? 4 : 3)) return 2;
    const wchar_t* path = argv[argc - 2];
    const wchar_t* release = argv[argc - 1];
    using launcherwindows::logger::FolderLock;
    std::optional<FolderLock> held_lock;
    HANDLE file = INVALID_HANDLE_VALUE;
    if (lock) {
        auto taken = FolderLock::take(launcherwindows::unicode::from_wide(path), std::chrono::milliseconds(0));
        if (!taken) return 1;
        held_lock.emplace(std::move(taken.value()));
    } else {
        file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 1;
    }
    const std::wstring held = std::wstring(release) + L".held";
    CloseHandle(CreateFileW(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    while (GetFileAttributesW(release) == INVALID_FILE_ATTRIBUTES) Sleep(20);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return 0;
}
