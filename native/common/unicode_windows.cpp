#include "common/unicode_windows.h"

#include "common/unicode.h"

namespace launcherwindows::unicode {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring to_wide(std::string_view utf8) {
    const std::u16string u = utf8_to_utf16(utf8);
    return std::wstring(u.begin(), u.end());
}

std::string from_wide(std::wstring_view wide) {
    return utf16_to_utf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace launcherwindows::unicode
