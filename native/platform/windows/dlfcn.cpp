// dlopen and friends over the Windows loader.
#include "dlfcn.h"

#include <windows.h>

#include <string>

#include "common/error_mode.h"
#include "common/system_error.h"
#include "common/windows_path.h"

namespace {

struct LoaderError {
    std::string text;
    bool pending = false;
};
thread_local LoaderError t_error;

// The code stays the thread's last error, as after the loader's own calls.
void fail(const std::string& what, DWORD code) {
    t_error.text = what + ": " + launcherwindows::system_error_message(code);
    t_error.pending = true;
    SetLastError(code);
}

bool has_separator(const std::wstring& path) { return path.find(L'\\') != std::wstring::npos; }

}  // namespace

extern "C" void* dlopen(const char* path, int) {
    if (!path) return GetModuleHandleW(nullptr);
    std::wstring wide = launcherwindows::windows_path(path);
    DWORD flags = 0;
    if (has_separator(wide)) {
        // The altered search path looks beside the library only for an
        // absolute path; a relative one resolves against the working directory.
        auto full = launcherwindows::full_path(wide);
        if (!full) {
            fail(std::string("cannot load ") + path, full.error());
            return nullptr;
        }
        wide = std::move(full.value());
        flags = LOAD_WITH_ALTERED_SEARCH_PATH;
    }
    // A missing DLL or drive must fail the call, not stop the process on a dialog.
    namespace error_mode = launcherwindows::error_mode;
    const error_mode::Saved saved = error_mode::fail_critical_errors(
        error_mode::system_api(), error_mode::process_switch(), SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryExW(wide.c_str(), nullptr, flags);
    const DWORD code = GetLastError();
    error_mode::restore(error_mode::system_api(), saved);
    if (!module) {
        fail(std::string("cannot load ") + path, code);
        return nullptr;
    }
    return reinterpret_cast<void*>(module);
}

extern "C" void* dlsym(void* handle, const char* symbol) {
    if (!handle || !symbol) {
        fail(std::string("cannot look up ") + (symbol ? symbol : "(null)"), ERROR_INVALID_HANDLE);
        return nullptr;
    }
    FARPROC address = GetProcAddress(static_cast<HMODULE>(handle), symbol);
    if (!address) {
        fail(std::string("cannot look up ") + symbol, GetLastError());
        return nullptr;
    }
    return reinterpret_cast<void*>(address);
}

extern "C" int dlclose(void* handle) {
    if (handle == GetModuleHandleW(nullptr)) return 0;  // dlopen(NULL) took no reference
    if (!handle || !FreeLibrary(static_cast<HMODULE>(handle))) {
        fail("cannot unload library", handle ? GetLastError() : DWORD{ERROR_INVALID_HANDLE});
        return 1;
    }
    return 0;
}

extern "C" char* dlerror(void) {
    if (!t_error.pending) return nullptr;
    t_error.pending = false;
    return t_error.text.data();
}

