#include "runtime_search.h"

#include <windows.h>

#include <string>

#include "common/unicode_windows.h"

void search_runtime_folder(const char* jvm_path) {
    if (!jvm_path) return;
    std::wstring path = launcherwindows::unicode::to_wide(jvm_path);
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    if (path.find(L'\\') == std::wstring::npos) return;
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return;
    std::wstring full(n, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), n, full.data(), nullptr));
    // <bin>\<folder>\jvm.dll: two separators back, and never a bare drive.
    const auto library = full.find_last_of(L'\\');
    const auto folder = library == std::wstring::npos || library == 0 ? std::wstring::npos
                                                                       : full.find_last_of(L'\\', library - 1);
    if (folder == std::wstring::npos) return;
    std::wstring bin = full.substr(0, folder);
    if (bin.empty() || bin.back() == L':') bin.push_back(L'\\');
    // SetDllDirectoryW, rather than AddDllDirectory, keeps PATH in the search.
    SetDllDirectoryW(bin.c_str());
}
