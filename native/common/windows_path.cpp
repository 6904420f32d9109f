#include "common/windows_path.h"

#include <windows.h>

#include "common/unicode_windows.h"

namespace launcherwindows {

std::wstring windows_path(std::string_view utf8_path) {
    std::wstring wide = unicode::to_wide(utf8_path);
    for (wchar_t& c : wide) {
        if (c == L'/') c = L'\\';
    }
    return wide;
}

Result<std::wstring, std::uint32_t> full_path(const std::wstring& path) {
    using R = Result<std::wstring, std::uint32_t>;
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return R::err(GetLastError());
    std::wstring full(n, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), n, full.data(), nullptr));
    return R::ok(std::move(full));
}

}  // namespace launcherwindows
