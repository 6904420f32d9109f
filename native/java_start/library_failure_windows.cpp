// The Windows loader gives only an error code (often 193 or 126 for quite
// different faults), so after a failed load the file's PE header tells a
// library for another machine and a file that is no library apart, and its
// import table names the DLLs that were not found.
#include "java_start/library_failure.h"

#include <windows.h>

#include <charconv>
#include <optional>
#include <vector>

#include "common/system_error.h"
#include "common/unicode_windows.h"
#include "common/windows_path.h"
#include "java_start/pe_image.h"

namespace {

constexpr WORD kOwnMachine = sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;
constexpr const char* kOwnBits = sizeof(void*) == 8 ? "64-bit" : "32-bit";
// A JVM library is a few MiB; its headers and import table come early.
constexpr LONGLONG kMaxRead = 64LL << 20;

// The file's bytes (at most kMaxRead), or nothing when it cannot be read.
std::optional<std::string> read_file(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    LARGE_INTEGER size{};
    std::optional<std::string> bytes;
    if (GetFileSizeEx(file, &size)) {
        std::string data(static_cast<std::size_t>(size.QuadPart < kMaxRead ? size.QuadPart : kMaxRead), '\0');
        DWORD got = 0;
        if (data.empty() || ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &got, nullptr)) {
            data.resize(got);
            bytes = std::move(data);
        }
    }
    CloseHandle(file);
    return bytes;
}

bool is_api_set(std::string name) {
    for (char& c : name) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return name.rfind("api-ms-", 0) == 0 || name.rfind("ext-ms-", 0) == 0;
}

// A folder list from a system call that fills a buffer; empty on failure.
template <class Call>
std::wstring from_system(Call call) {
    std::wstring text(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = call(text.data(), static_cast<DWORD>(text.size()));
        if (n < text.size()) {
            text.resize(n);
            return text;
        }
        text.resize(n + 1);
    }
}

// The folders the loader searches for the imports of a library loaded with
// the altered search path, in its order: the library's own folder, the DLL
// directory, the system folders, PATH.
std::vector<std::wstring> search_folders(const std::wstring& library_folder) {
    std::vector<std::wstring> folders = {library_folder};
    folders.push_back(from_system([](wchar_t* b, DWORD n) { return GetDllDirectoryW(n, b); }));
    const std::wstring system = from_system([](wchar_t* b, DWORD n) { return GetSystemDirectoryW(b, n); });
    const std::wstring windows = from_system([](wchar_t* b, DWORD n) { return GetWindowsDirectoryW(b, n); });
    folders.push_back(system);
    folders.push_back(windows + L"\\System");
    folders.push_back(windows);
    const std::wstring path =
        from_system([](wchar_t* b, DWORD n) { return GetEnvironmentVariableW(L"PATH", b, n); });
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = path.find(L';', start);
        if (end == std::wstring::npos) end = path.size();
        folders.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    std::erase(folders, std::wstring());
    return folders;
}

// Whether the loader would find an import: one already loaded, or a file in
// one of the folders. API set names are resolved by the loader, not found as
// files.
bool can_be_found(const std::string& name, const std::vector<std::wstring>& folders) {
    if (is_api_set(name)) return true;
    const std::wstring wide = launcherwindows::unicode::to_wide(name);
    if (wide.empty()) return true;  // a name we cannot even spell is not ours to blame
    if (GetModuleHandleW(wide.c_str())) return true;
    for (const std::wstring& folder : folders) {
        const DWORD attributes = GetFileAttributesW((folder + L"\\" + wide).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
    }
    return false;
}

std::string missing_imports(const std::vector<std::string>& imports, const std::wstring& library) {
    const std::wstring full = launcherwindows::full_path(library).value_or(library);
    const std::vector<std::wstring> folders = search_folders(full.substr(0, full.find_last_of(L'\\')));
    std::string names;
    for (const std::string& name : imports) {
        if (can_be_found(name, folders)) continue;
        if (!names.empty()) names += ", ";
        names += name;
    }
    return names;
}

std::string hex(WORD value) {
    char digits[8];
    const auto end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
    return std::string(digits, end);
}

}  // namespace

std::string library_load_failure(const char* path) {
    const DWORD code = GetLastError();
    const std::string os_error = launcherwindows::os_error_suffix(code);
    const std::wstring wide = launcherwindows::windows_path(path);
    const std::optional<std::string> bytes = read_file(wide);
    if (bytes) {
        const PeImage image = read_pe_image(*bytes);
        if (!image.is_pe) return "is not a Windows library" + os_error;
        if (image.machine != kOwnMachine) {
            const std::string built = image.machine == IMAGE_FILE_MACHINE_AMD64
                                          ? "is a 64-bit (x86-64) library"
                                          : "is built for machine 0x" + hex(image.machine);
            return built + "; this launcher is " + kOwnBits + " and needs a " + kOwnBits + " Java runtime";
        }
        if (code == ERROR_MOD_NOT_FOUND) {
            const std::string missing = missing_imports(image.imports, wide);
            if (!missing.empty())
                return "could not be loaded: the library " + missing + " that it needs was not found" + os_error;
            return "could not be loaded: a library it depends on is missing" + os_error;
        }
    }
    return "could not be loaded: " + launcherwindows::os_error_text(code);
}
