#include "log/folder_lock.h"

#include <windows.h>
#include <sddl.h>

#include <cstdio>

#include "common/unicode_windows.h"

namespace launcherwindows::logger {
namespace {

// The service (LocalSystem, session 0) and the desktop starts of standard
// users must share one lock, whoever makes it first: SYSTEM and the
// administrators may do anything with it, everyone may wait for it and
// release it (SYNCHRONIZE | MUTEX_MODIFY_STATE), and ask for no more.
constexpr wchar_t kLockSecurity[] = L"D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100001;;;WD)";
constexpr DWORD kLockAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE;

// The folder's full path in capitals, as Windows compares file names; a
// hash of it, since a path may hold backslashes and be longer than an
// object's name may be.
std::wstring lock_name(const std::string& folder) {
    const std::wstring wide = unicode::to_wide(folder.empty() ? "." : folder);
    std::wstring full(GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr), L'\0');
    full.resize(GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    if (full.empty()) full = wide;
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
    const int length = static_cast<int>(full.size());
    std::wstring upper(full.size(), L'\0');
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, full.data(), length, upper.data(), length, nullptr,
                      nullptr, 0) != length) {
        upper = full;
    }
    std::uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a
    for (const wchar_t c : upper) {
        for (const unsigned char byte : {static_cast<unsigned char>(c & 0xFF), static_cast<unsigned char>(c >> 8)}) {
            hash = (hash ^ byte) * 0x100000001b3ULL;
        }
    }
    wchar_t name[64];
    std::swprintf(name, 64, L"Global\\launcher-logs-%016llx", static_cast<unsigned long long>(hash));
    return name;
}

}  // namespace

Result<FolderLock, std::uint32_t> FolderLock::take(const std::string& folder, std::chrono::milliseconds wait) {
    using R = Result<FolderLock, std::uint32_t>;
    PSECURITY_DESCRIPTOR security = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kLockSecurity, SDDL_REVISION_1, &security, nullptr))
        return R::err(GetLastError());
    SECURITY_ATTRIBUTES attributes{sizeof attributes, security, FALSE};
    const HANDLE mutex = CreateMutexExW(&attributes, lock_name(folder).c_str(), 0, kLockAccess);
    const DWORD made = GetLastError();
    LocalFree(security);
    if (mutex == nullptr) return R::err(made);
    switch (WaitForSingleObject(mutex, static_cast<DWORD>(wait.count()))) {
        case WAIT_OBJECT_0:
        // A start that ended while it held the lock: its steps leave whole
        // files under their names, which the next shift takes as they are.
        case WAIT_ABANDONED: return R::ok(FolderLock(reinterpret_cast<std::intptr_t>(mutex)));
        case WAIT_TIMEOUT: CloseHandle(mutex); return R::err(WAIT_TIMEOUT);
        default: {
            const DWORD e = GetLastError();
            CloseHandle(mutex);
            return R::err(e);
        }
    }
}

FolderLock::~FolderLock() {
    if (held_ == kNone) return;
    const HANDLE mutex = reinterpret_cast<HANDLE>(held_);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

}  // namespace launcherwindows::logger
