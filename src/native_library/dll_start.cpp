#include "native_library/dll_start.h"

#include <limits>
#include <string>

#include "cipher/cipher.h"
#include "common/system_error.h"
#include "common/unicode.h"
#include "init/applications.h"
#include "log/logger.h"
#include "process/console_output.h"
#include "process/process.h"
#include "process/util.h"

namespace launcherwindows::dll_start {
namespace {

void unload(const LoaderApi& api, Module module, const std::string& dll_path) {
    if (api.free_library(module)) return;
    fatal_stop("FreeLibrary failed for " + dll_path + ": " + os_error_text(api.last_error()));
}

}  // namespace

StartResult start(std::string_view record_text, std::string_view argument, const LoaderApi& api,
                  std::atomic<bool>& process_wide) {
    auto app = init::read_dll_app(record_text);
    const std::string name(init::kNativeLibraryApplication);
    if (!app) return start_error("error while loading app config for " + name + ": " + app.error().to_string());
    logger::info(logger::kTargetInit, "Start go service " + name);
    console::keep_output(name);
    return run(app.value(), argument, api, process_wide);
}

StartResult run(const init::DllApp& app, std::string_view argument, const LoaderApi& api,
                std::atomic<bool>& process_wide) {
    // The length crosses as an unsigned 32-bit count.
    if (argument.size() > std::numeric_limits<std::uint32_t>::max()) {
        return start_error("the argument is longer than 4 GiB");
    }
    const std::u16string path = unicode::utf8_to_utf16(app.dll_path);  // c_str() is the appended NUL

    const error_mode::Saved saved = error_mode::fail_critical_errors(api.error_mode, process_wide);
    const Module module = api.load_library(path.c_str());
    // Read before the restore call can overwrite it.
    const std::uint32_t load_error = module == nullptr ? api.last_error() : 0;
    error_mode::restore(api.error_mode, saved);
    if (module == nullptr) {
        if (load_error == 0) fatal_stop("LoadLibraryW failed but GetLastError did not report the error");
        return start_error(os_error_text(load_error));
    }

    // One NUL is allowed, as the name's last byte; c_str() terminates the rest.
    const std::string& name = app.entry_point;
    const auto nul = name.find('\0');
    if (nul != std::string::npos && nul + 1 != name.size()) {
        unload(api, module, app.dll_path);
        return start_error("non-final null byte found");
    }
    const Symbol symbol = api.get_proc_address(module, name.c_str());
    if (symbol == nullptr) {
        const std::uint32_t code = api.last_error();
        if (code == 0) fatal_stop("GetProcAddress failed but GetLastError did not report the error");
        unload(api, module, app.dll_path);
        return start_error(os_error_text(code));
    }

    // An empty argument still passes a readable address (of a NUL byte), so a
    // library that reads it despite the length 0 finds nothing, not a fault.
    static constexpr unsigned char kNoBytes = 0;
    const auto* bytes = argument.empty() ? &kNoBytes : reinterpret_cast<const unsigned char*>(argument.data());
    const auto entry = reinterpret_cast<EntryPoint>(symbol);
    entry(bytes, static_cast<std::uint32_t>(argument.size()), distributionkey, aes_whitebox_decrypt_cfb);

    // Not unloaded: the library's own runtime (Go) keeps threads running in
    // its code after the entry point returns; they end with the process.
    return start_ok();
}

}  // namespace launcherwindows::dll_start
