#include "java_start/runtime_search.h"

#include <windows.h>

#include <string>

#include "common/windows_path.h"

void search_runtime_folder(const char* jvm_path) {
    if (!jvm_path) return;
    const std::wstring path = launcherwindows::windows_path(jvm_path);
    if (path.find(L'\\') == std::wstring::npos) return;
    const auto resolved = launcherwindows::full_path(path);
    if (!resolved) return;
    const std::wstring& full = resolved.value();
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
