#pragma once
// The start of the native-library application: load the library and call
// its entry point; the library stays loaded until the process ends. The loader calls come in through LoaderApi so that
// tests can drive every branch, including the fatal ones.
#include <atomic>
#include <cstdint>
#include <string_view>

#include "cipher/cipher_api.h"
#include "common/error_mode.h"
#include "common/result.h"
#include "init/records.h"

namespace launcherwindows::dll_start {

using Module = void*;
using Symbol = void (*)();

struct LoaderApi {
    error_mode::Api error_mode;
    Module (*load_library)(const char16_t* path);                // LoadLibraryW
    Symbol (*get_proc_address)(Module module, const char* name);  // GetProcAddress
    bool (*free_library)(Module module);                         // FreeLibrary
    std::uint32_t (*last_error)();                               // GetLastError
};

// The entry point's contract: the argument's bytes (no NUL) and their count,
// then the distribution-key and CFB-decrypt services. Its result is not read.
extern "C" typedef void(LAUNCHER_CDECL* EntryPoint)(const unsigned char* argument, std::uint32_t length,
                                                    launcher_distribution_key_fn key_provider,
                                                    launcher_cfb_fn decrypt);

// Reads the record text, logs the start and runs the application; success
// once the entry point has returned, else the error text.
StartResult start(std::string_view record_text, std::string_view argument, const LoaderApi& api,
                  std::atomic<bool>& process_wide);

// Loads app.dll_path and calls app.entry_point; unloads the library only
// when the entry point is missing.
StartResult run(const init::DllApp& app, std::string_view argument, const LoaderApi& api,
                std::atomic<bool>& process_wide);

// The Windows loader (dll_start_windows.cpp; Windows builds only).
const LoaderApi& system_loader();

}  // namespace launcherwindows::dll_start
