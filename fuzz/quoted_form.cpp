// The quoted form: one pair of quotes, nothing raw that a reader could trip
// over, and every byte of the input recoverable from it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "common/unicode.h"
#include "text/quoted.h"

namespace {

[[noreturn]] void fail(const char* what, const std::string& quoted) {
    std::fprintf(stderr, "%s: %s\n", what, quoted.c_str());
    std::abort();
}

// The inverse of the quoted form; nothing if `q` is not one.
std::optional<std::string> unquote(const std::string& q) {
    if (q.size() < 2 || q.front() != '"' || q.back() != '"') return std::nullopt;
    std::string out;
    for (std::size_t i = 1; i + 1 < q.size(); ++i) {
        const char c = q[i];
        if (c == '"') return std::nullopt;  // a quote the form left unescaped
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i + 2 >= q.size()) return std::nullopt;  // the closing quote escaped away
        const char e = q[++i];
        switch (e) {
            case '"': case '\\': out += e; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case 'n': out += '\n'; break;
            case '0': out += '\0'; break;
            case 'u': case 'x': {
                if (q[i + 1] != '{') return std::nullopt;
                const std::size_t close = q.find('}', i + 2);
                if (close == std::string::npos || close + 1 >= q.size() || close == i + 2 || close - i - 2 > 6)
                    return std::nullopt;
                std::uint32_t v = 0;
                for (std::size_t k = i + 2; k < close; ++k) {
                    const char h = q[k];
                    const int d = h >= '0' && h <= '9' ? h - '0' : h >= 'a' && h <= 'f' ? h - 'a' + 10 : -1;
                    if (d < 0) return std::nullopt;  // lower-case hex only
                    v = v * 16 + static_cast<std::uint32_t>(d);
                }
                if (e == 'x') {
                    if (v < 0x80 || v > 0xFF) return std::nullopt;  // only bytes that cannot stand alone
                    out += static_cast<char>(v);
                } else {
                    if (v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return std::nullopt;
                    launcherwindows::unicode::append_utf8(out, static_cast<char32_t>(v));
                }
                i = close;
                break;
            }
            default: return std::nullopt;
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string q = launcherwindows::quoted_form(text);

    // Printable and valid UTF-8 whatever the input: control characters (C0,
    // DEL, C1) only ever appear escaped.
    if (!launcherwindows::unicode::is_valid_utf8(q)) fail("not valid UTF-8", q);
    for (std::size_t i = 0; i < q.size(); ++i) {
        const auto b = static_cast<unsigned char>(q[i]);
        if (b < 0x20 || b == 0x7F) fail("raw control character", q);
        if (b == 0xC2 && i + 1 < q.size() && static_cast<unsigned char>(q[i + 1]) <= 0x9F) fail("raw C1 control", q);
    }
    const auto back = unquote(q);
    if (!back) fail("not a well-formed quoted form", q);
    if (*back != text) fail("does not decode to the input", q);
    return 0;
}
