// The stand-in jvm.dll's plumbing: text helpers, its configuration and its
// record file (tests only).
#include "stub_support.h"

#include <windows.h>

#include <cstdio>

namespace jvm_stub {

// ---- text helpers -------------------------------------------------------

std::wstring widen(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string narrow(const std::wstring& wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                            nullptr);
    return out;
}

std::string hex(const unsigned char* bytes, std::size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(n * 2);
    for (std::size_t i = 0; i < n; ++i) {
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 15]);
    }
    return out;
}

std::string upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

std::string environment(const wchar_t* name) {
    const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0) return "(unset)";
    std::wstring value(n, L'\0');
    const DWORD written = GetEnvironmentVariableW(name, value.data(), n);
    value.resize(written);
    return narrow(value);
}

// ---- configuration ------------------------------------------------------

std::wstring dll_folder() {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&dll_folder), &self);
    std::wstring path(32768, L'\0');
    const DWORD n = GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

std::string Config::get(const std::string& key, const std::string& fallback) const {
    const std::string env = environment(widen("JVM_STUB_" + upper(key)).c_str());
    if (env != "(unset)") return env;
    const auto it = values.find(key);
    return it == values.end() ? fallback : it->second;
}

Config read_config(const std::wstring& folder) {
    Config config;
    HANDLE h = CreateFileW((folder + L"\\jvm_stub.cfg").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return config;
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(h);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto eq = line.find('=');
        if (eq != std::string::npos && !line.empty() && line[0] != '#')
            config.values[line.substr(0, eq)] = line.substr(eq + 1);
        start = end + 1;
    }
    return config;
}

// ---- the record ---------------------------------------------------------

namespace {
HANDLE g_record = INVALID_HANDLE_VALUE;
}  // namespace

void open_record(const std::string& path) {
    g_record = CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Unbuffered: the process may be killed at any moment.
void record(const std::string& line) {
    if (g_record == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(g_record, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void unimplemented(const char* table, std::size_t slot) {
    record(std::string("unimplemented ") + table + " function " + std::to_string(slot));
    std::fprintf(stderr, "jvm stub: unimplemented %s function %zu\n", table, slot);
    std::fflush(stderr);
    ExitProcess(86);
}

}  // namespace jvm_stub
