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

void append_escaped(std::string& out, char32_t c) {
    switch (c) {
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case U'\0': out += "\\0"; break;
        default: append_hex_escape(out, "\\u{", static_cast<std::uint32_t>(c));
    }
}

bool is_control(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029; }

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
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (escaped_in_quoted_form(c)) {
            append_escaped(out, c);
        } else {
            out.append(text.substr(i, len));
        }
        i += len;
    }
    out += '"';
    return out;
}

std::string controls_escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const std::size_t len = unicode::decode_utf8(text, i, c);
        if (len != 0 && is_control(c)) {
            append_escaped(out, c);
        } else {
            out.append(text.substr(i, len == 0 ? 1 : len));
        }
        i += len == 0 ? 1 : len;
    }
    return out;
}

}  // namespace launcherwindows
