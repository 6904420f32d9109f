#pragma once
// The UTF-8 <-> UTF-16 conversion of unicode.h on Windows's wchar_t strings.
#include <string>
#include <string_view>

namespace launcherwindows::unicode {

// Invalid UTF-8 sequences become U+FFFD.
std::wstring to_wide(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string from_wide(std::wstring_view wide);

}  // namespace launcherwindows::unicode
