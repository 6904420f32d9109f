#include "text/quoted.h"

#include "common/unicode.h"
#include "text/quoted_escapes.h"

#include <cstdint>
#include <cstdio>

namespace launcherwindows {
namespace {

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
                if (escaped_in_quoted_form(c)) {
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
