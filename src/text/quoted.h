#pragma once
#include <string>
#include <string_view>

namespace launcherwindows {

// The quoted form used wherever a message embeds another message: the text in
// double quotes, with quotes and backslashes escaped, \t \r \n \0, and the
// characters of escaped_in_quoted_form (other controls, invisible, unassigned
// and private-use characters, combining marks) as \u{hex}. Bytes that are not
// valid UTF-8 are written as \x{hex}.
std::string quoted_form(std::string_view text);

// The text as it is, but for its line breaks and other control characters
// (C0, DEL, C1, the line and paragraph separators), escaped as the quoted
// form escapes them.
std::string controls_escaped(std::string_view text);

}  // namespace launcherwindows
