#pragma once

namespace launcherwindows {

// Whether the quoted form writes the character as \u{hex}: Grapheme_Extend
// (combining marks and other extenders), and the general categories Zs other
// than the space, Zl, Zp, Cc, Cf, Cs, Co and Cn (unassigned, noncharacters).
bool escaped_in_quoted_form(char32_t c);

}  // namespace launcherwindows
