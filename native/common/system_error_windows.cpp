#include <windows.h>

#include "common/system_error.h"
#include "common/unicode_windows.h"

namespace launcherwindows {

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

}  // namespace launcherwindows
