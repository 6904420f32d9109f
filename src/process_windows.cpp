#include "process.h"

#include <windows.h>

#include <cstdlib>

#include "unicode_windows.h"

namespace launcherwindows {

ModulePath current_executable_path() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {std::nullopt, GetLastError()};
        if (n < buf.size()) {
            buf.resize(n);
            return {unicode::from_wide(buf), 0};
        }
        if (buf.size() >= 32768) return {std::nullopt, ERROR_INSUFFICIENT_BUFFER};
        buf.resize(buf.size() * 2);
    }
}

bool set_working_directory(const std::string& utf8_path) {
    return SetCurrentDirectoryW(unicode::to_wide(utf8_path).c_str()) != 0;
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

std::string system_error_message(std::uint32_t code) {
    std::string text;
    wchar_t* buf = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
    if (n != 0 && buf != nullptr) text = unicode::from_wide(std::wstring_view(buf, n));
    if (buf != nullptr) LocalFree(buf);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n'))
        text.pop_back();
    if (text.empty()) text = "unknown error";
    return text;
}

void terminate_process(int status) {
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
    std::_Exit(status);
}

}  // namespace launcherwindows
