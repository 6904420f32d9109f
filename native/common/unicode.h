#pragma once
// UTF-8 <-> UTF-16 at the boundary with the Windows W APIs. Written here so the
// same conversion runs (and is tested) on the host; the wchar_t forms are in
// unicode_windows.h.
#include <optional>
#include <string>
#include <string_view>

namespace launcherwindows::unicode {

// Unpaired surrogates become U+FFFD.
std::string utf16_to_utf8(std::u16string_view text);
// Invalid UTF-8 sequences become U+FFFD.
std::u16string utf8_to_utf16(std::string_view text);
bool is_valid_utf8(std::string_view text);
// Appends one scalar value as UTF-8.
void append_utf8(std::string& out, char32_t c);
// Decodes the sequence at text[i]; its length in bytes, or 0 when it is not
// valid UTF-8 (overlong forms and surrogates included).
std::size_t decode_utf8(std::string_view text, std::size_t i, char32_t& out);
// Byte offset of the first invalid sequence, for error messages.
std::optional<std::size_t> first_invalid_utf8(std::string_view text);

}  // namespace launcherwindows::unicode
