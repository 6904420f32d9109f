#include "dispatch/failure_window.h"

#include <windows.h>

#include "common/unicode_windows.h"

namespace launcherwindows::failure_window {
namespace {

// user32 is loaded on a failed start only: every other start, the service's
// above all, stays as it is, off the window system.
HMODULE user32() {
    static const HMODULE module = LoadLibraryW(L"user32.dll");
    return module;
}

template <class Function>
Function user32_function(const char* name) {
    if (user32() == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32(), name)));
}

}  // namespace

bool interactive_window_station() {
    const auto station_of_process = user32_function<HWINSTA(WINAPI*)()>("GetProcessWindowStation");
    const auto information =
        user32_function<BOOL(WINAPI*)(HANDLE, int, PVOID, DWORD, LPDWORD)>("GetUserObjectInformationW");
    if (station_of_process == nullptr || information == nullptr) return false;
    const HWINSTA station = station_of_process();
    USEROBJECTFLAGS flags{};
    DWORD needed = 0;
    return station != nullptr && information(station, UOI_FLAGS, &flags, sizeof flags, &needed) &&
           (flags.dwFlags & WSF_VISIBLE) != 0;
}

void show_error_window(const std::string& title, const std::string& text) {
    const auto message_box = user32_function<int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT)>("MessageBoxW");
    if (message_box == nullptr) return;
    // No window of ours is there to own it: in front of the others until closed.
    message_box(nullptr, unicode::to_wide(text).c_str(), unicode::to_wide(title).c_str(),
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}

}  // namespace launcherwindows::failure_window
