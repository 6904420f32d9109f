#include "quoted.h"

#include "unicode.h"

#include <cstdint>
#include <cstdio>

namespace launcherwindows {
namespace {

bool is_combining_mark(char32_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
           (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
           (c >= 0xFE20 && c <= 0xFE2F);
}

bool is_invisible(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xAD || (c >= 0x200B && c <= 0x200F) ||
           c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2060 && c <= 0x2064) || c == 0xFEFF;
}

void append_hex_escape(std::string& out, const char* prefix, std::uint32_t value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%x", static_cast<unsigned>(value));
    out += prefix;
    out += buf;
    out += '}';
}

}  // namespace

std::string quoted_form(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const std::size_t len = unicode::decode_utf8(text, i, c);
        if (len == 0) {
            append_hex_escape(out, "\\x{", static_cast<std::uint8_t>(text[i]));
            ++i;
            continue;
        }
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case U'\0': out += "\\0"; break;
            default:
                if (is_invisible(c) || is_combining_mark(c)) {
                    append_hex_escape(out, "\\u{", static_cast<std::uint32_t>(c));
                } else {
                    out.append(text.substr(i, len));
                }
        }
        i += len;
    }
    out += '"';
    return out;
}

}  // namespace launcherwindows
