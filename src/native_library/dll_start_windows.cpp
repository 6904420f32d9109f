#include "native_library/dll_start.h"

#include <windows.h>

namespace launcherwindows::dll_start {
namespace {

Module load_library(const char16_t* path) { return LoadLibraryW(reinterpret_cast<const wchar_t*>(path)); }
Symbol get_proc_address(Module module, const char* name) {
    return reinterpret_cast<Symbol>(GetProcAddress(static_cast<HMODULE>(module), name));
}
bool free_library(Module module) { return FreeLibrary(static_cast<HMODULE>(module)) != 0; }
std::uint32_t last_error() { return GetLastError(); }

}  // namespace

const LoaderApi& system_loader() {
    static const LoaderApi api{error_mode::system_api(), load_library, get_proc_address, free_library, last_error};
    return api;
}

}  // namespace launcherwindows::dll_start
