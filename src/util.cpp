#include "util.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#include "unicode_windows.h"
#else
#include <unistd.h>
#include <cerrno>
#include <climits>
#endif

namespace launcherwindows {
namespace {

bool is_separator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

// Length of the root prefix ("C:\", "\\server\share\", "/"), 0 if relative.
std::size_t root_length(std::string_view p) {
#ifdef _WIN32
    if (p.size() >= 2 && is_separator(p[0]) && is_separator(p[1])) {
        // UNC or device path: \\server\share\ is the root.
        std::size_t i = 2;
        int parts = 0;
        while (i < p.size() && parts < 2) {
            while (i < p.size() && !is_separator(p[i])) ++i;
            ++parts;
            if (i < p.size()) ++i;
        }
        return i;
    }
    if (p.size() >= 2 && p[1] == ':') {
        return (p.size() >= 3 && is_separator(p[2])) ? 3 : 2;
    }
    if (!p.empty() && is_separator(p[0])) return 1;
    return 0;
#else
    return (!p.empty() && p[0] == '/') ? 1 : 0;
#endif
}

}  // namespace

std::optional<std::string> parent_directory(std::string_view path) {
    const std::size_t root = root_length(path);
    std::size_t end = path.size();
    while (end > root && is_separator(path[end - 1])) --end;  // trailing separators
    if (end <= root) return std::nullopt;                      // the root itself
    std::size_t cut = end;
    while (cut > root && !is_separator(path[cut - 1])) --cut;  // last component
    if (cut == 0) return std::nullopt;                         // a bare name
    std::size_t parent_end = cut;
    while (parent_end > root && is_separator(path[parent_end - 1])) --parent_end;
    return std::string(path.substr(0, parent_end));
}

ModulePath current_executable_path() {
#ifdef _WIN32
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
#else
    std::string buf(PATH_MAX, '\0');
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {std::nullopt, static_cast<std::uint32_t>(errno)};
    buf.resize(static_cast<std::size_t>(n));
    return {buf, 0};
#endif
}

std::string get_halvora_directory() {
    const ModulePath exe = current_executable_path();
    if (!exe.path) {
        fatal_stop("cannot determine the path of the running executable: " +
                   system_error_message(exe.error));
    }
    const auto bin = parent_directory(*exe.path);
    if (!bin) fatal_stop("Executable must be in some directory");
    const auto install = parent_directory(*bin);
    // The executable sits in a root directory: there is no level above it.
    if (!install) fatal_stop("Executable must be one directory level below the installation directory");
    return *install;
}

bool set_working_directory(const std::string& utf8_path) {
#ifdef _WIN32
    return SetCurrentDirectoryW(unicode::to_wide(utf8_path).c_str()) != 0;
#else
    return chdir(utf8_path.c_str()) == 0;
#endif
}

void fatal_stop(std::string_view message) {
    std::fflush(stdout);
    std::fwrite(message.data(), 1, message.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
#ifdef _WIN32
    TerminateProcess(GetCurrentProcess(), 3);
#endif
    std::_Exit(3);
}

std::string system_error_message(std::uint32_t code) {
    std::string text;
#ifdef _WIN32
    wchar_t* buf = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
    if (n != 0 && buf != nullptr) text = unicode::from_wide(std::wstring_view(buf, n));
    if (buf != nullptr) LocalFree(buf);
#else
    text = std::strerror(static_cast<int>(code));
#endif
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n'))
        text.pop_back();
    if (text.empty()) text = "unknown error";
    return text;
}

}  // namespace launcherwindows
