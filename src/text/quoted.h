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

}  // namespace launcherwindows
