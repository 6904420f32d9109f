#include "process/process.h"

#include <windows.h>

#include <cstdlib>

#include "common/unicode_windows.h"

namespace launcherwindows {

ModulePath current_executable_path() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return ModulePath::err(GetLastError());
        if (n < buf.size()) {
            buf.resize(n);
            return ModulePath::ok(unicode::from_wide(buf));
        }
        if (buf.size() >= 32768) return ModulePath::err(ERROR_INSUFFICIENT_BUFFER);
        buf.resize(buf.size() * 2);
    }
}

SystemResult set_working_directory(const std::string& utf8_path) {
    return system_result(SetCurrentDirectoryW(unicode::to_wide(utf8_path).c_str()) ? 0 : GetLastError());
}

void set_environment_variable(const std::string& name, const std::string& value) {
    SetEnvironmentVariableW(unicode::to_wide(name).c_str(), unicode::to_wide(value).c_str());
}

std::string environment_variable(const std::string& name) {
    const std::wstring wide_name = unicode::to_wide(name);
    std::wstring value(256, L'\0');
    for (;;) {
        const DWORD n = GetEnvironmentVariableW(wide_name.c_str(), value.data(), static_cast<DWORD>(value.size()));
        if (n == 0) return {};
        if (n < value.size()) {
            value.resize(n);
            return unicode::from_wide(value);
        }
        value.resize(n);  // n counts the terminating NUL here
    }
}

void terminate_process(int status) {
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
    std::_Exit(status);
}

}  // namespace launcherwindows
