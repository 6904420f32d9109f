#include "init/json_reader.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <system_error>

#include "common/unicode.h"
#include "text/quoted.h"

namespace launcherwindows::init::json {
namespace {

// Thrown inside the reader only; read_record turns it into its result.
struct Failure {
    ParseError error;
};

bool is_whitespace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Shortest digits that read back to the same double, in plain decimal notation,
// always with a fraction: 1.5, 1000.0, -0.0.
// (The fixed format of to_chars would print every integer digit: 2^64 as
// 18446744073709551616 rather than 18446744073709552000.)
std::string float_text(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string_view scientific(buffer, static_cast<std::size_t>(result.ptr - buffer));  // -d.ddde+XX
    const std::size_t e = scientific.find('e');
    std::string text = scientific[0] == '-' ? "-" : "";
    std::string digits;
    for (const char c : scientific.substr(0, e)) {
        if (is_digit(c)) digits += c;
    }
    int exponent = 0;
    const std::string_view exp_text = scientific.substr(e + (scientific[e + 1] == '+' ? 2 : 1));
    std::from_chars(exp_text.data(), exp_text.data() + exp_text.size(), exponent);
    // The decimal point falls `point` digits into `digits`.
    const long point = static_cast<long>(exponent) + 1;
    const auto n = static_cast<long>(digits.size());
    if (point <= 0) {
        text += "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
    } else if (point >= n) {
        text += digits + std::string(static_cast<std::size_t>(point - n), '0') + ".0";
    } else {
        text += digits.substr(0, static_cast<std::size_t>(point)) + "." + digits.substr(static_cast<std::size_t>(point));
    }
    return text;
}

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::vector<FieldValue> record(const RecordShape& shape) {
        const std::size_t n = shape.fields.size();
        const std::string expected = "struct " + std::string(shape.name);
        std::vector<FieldValue> values(n);
        const auto read_field = [&](std::size_t i) {
            if (shape.fields[i].kind == FieldKind::String) {
                values[i].text = string_value();
            } else {
                values[i].list = string_list();
            }
        };

        skip_whitespace();
        if (at_end()) fail_ahead("EOF while parsing a value");
        if (peek() == '{') {
            ++pos_;
            std::vector<bool> seen(n, false);
            const auto index_of = [&](const std::string& key) {
                std::size_t i = 0;
                while (i < n && shape.fields[i].key != key) ++i;
                return i;
            };
            members([&](const std::string& key) { const auto i = index_of(key); return i < n && seen[i]; },
                    [&](const std::string& key) {
                        const auto i = index_of(key);
                        if (i == n) return skip_value(2);
                        seen[i] = true;
                        read_field(i);
                    });
            for (std::size_t i = 0; i < n; ++i) {
                if (!seen[i]) fail_behind("missing field `" + std::string(shape.fields[i].key) + "`");
            }
        } else if (peek() == '[') {
            ++pos_;
            std::size_t count = 0;
            elements([&] {
                if (count < n) {
                    read_field(count);
                } else {
                    skip_value(2);  // counted, so the message can say how many there were
                }
                ++count;
            });
            if (count != n) {
                fail_behind("invalid length " + std::to_string(count) + ", expected " + expected + " with " +
                            std::to_string(n) + " elements");
            }
        } else {
            fail_invalid_type(expected);
        }
        skip_whitespace();
        if (!at_end()) fail_ahead("trailing characters");
        return values;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;  // bytes consumed

    bool at_end() const { return pos_ >= text_.size(); }
    char peek() const { return text_[pos_]; }
    void skip_whitespace() {
        while (!at_end() && is_whitespace(peek())) ++pos_;
    }

    ParseError error_at(std::size_t index, std::string description) const {
        const std::string_view before = text_.substr(0, index);
        const std::size_t last_line_feed = before.rfind('\n');
        const std::size_t line_start = last_line_feed == std::string_view::npos ? 0 : last_line_feed + 1;
        const auto line_feeds = static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
        return ParseError{std::move(description), 1 + line_feeds, index - line_start};
    }
    // At the byte being looked at, never past the end of the text.
    [[noreturn]] void fail_ahead(std::string description) const {
        throw Failure{error_at(std::min(pos_ + 1, text_.size()), std::move(description))};
    }
    // At the last byte consumed: a complete value's last byte.
    [[noreturn]] void fail_behind(std::string description) const {
        throw Failure{error_at(pos_, std::move(description))};
    }

    // Looking at the opening quote; consumes through the closing one.
    std::string string() {
        ++pos_;
        std::string out;
        for (;;) {
            const std::size_t run = pos_;
            while (!at_end()) {
                const auto c = static_cast<unsigned char>(peek());
                if (c == '"' || c == '\\' || c < 0x20) break;
                ++pos_;
            }
            const std::string_view raw = text_.substr(run, pos_ - run);
            if (const auto bad = unicode::first_invalid_utf8(raw)) {
                pos_ = run + *bad;
                fail_ahead("invalid unicode code point");
            }
            out.append(raw);
            if (at_end()) fail_ahead("EOF while parsing a string");
            if (peek() == '"') {
                ++pos_;
                return out;
            }
            if (peek() != '\\') fail_ahead("control character (\\u0000-\\u001F) found while parsing a string");
            ++pos_;
            escape(out);
        }
    }

    void escape(std::string& out) {
        if (at_end()) fail_ahead("EOF while parsing a string");
        switch (peek()) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                ++pos_;
                char32_t c = hex4();
                if (c >= 0xDC00 && c <= 0xDFFF) fail_behind("invalid escape");  // trailing half alone
                if (c >= 0xD800 && c <= 0xDBFF) {
                    for (const char expected : {'\\', 'u'}) {
                        if (at_end()) fail_ahead("EOF while parsing a string");
                        if (peek() != expected) fail_ahead("invalid escape");
                        ++pos_;
                    }
                    const char32_t low = hex4();
                    if (low < 0xDC00 || low > 0xDFFF) fail_behind("invalid escape");
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                }
                unicode::append_utf8(out, c);
                return;
            }
            default: fail_ahead("invalid escape");
        }
        ++pos_;
    }

    char32_t hex4() {
        char32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            if (at_end()) fail_ahead("EOF while parsing a string");
            const int digit = hex_digit(peek());
            if (digit < 0) fail_ahead("invalid escape");
            value = value * 16 + static_cast<char32_t>(digit);
            ++pos_;
        }
        return value;
    }

    void literal(std::string_view word) {
        for (const char expected : word) {
            if (at_end()) fail_ahead("EOF while parsing a value");
            if (peek() != expected) fail_ahead("expected value");
            ++pos_;
        }
    }

    void digits() {
        if (at_end()) fail_ahead("EOF while parsing a value");
        if (!is_digit(peek())) fail_ahead("invalid number");
        while (!at_end() && is_digit(peek())) ++pos_;
    }

    // Looking at '-' or a digit; consumes the number and returns its text.
    std::string_view number() {
        const std::size_t start = pos_;
        if (peek() == '-') ++pos_;
        if (!at_end() && peek() == '0') {
            ++pos_;
            if (!at_end() && is_digit(peek())) fail_ahead("invalid number");
        } else {
            digits();
        }
        if (!at_end() && peek() == '.') {
            ++pos_;
            digits();
        }
        if (!at_end() && (peek() == 'e' || peek() == 'E')) {
            ++pos_;
            if (!at_end() && (peek() == '+' || peek() == '-')) ++pos_;
            digits();
        }
        return text_.substr(start, pos_ - start);
    }

    // "integer `5`" or "floating point `1.5`", as a type error names a number.
    std::string describe_number(std::string_view text) const {
        const char* const first = text.data();
        const char* const last = first + text.size();
        if (text.find_first_of(".eE") == std::string_view::npos) {
            // -0 is not an integer value: it is described as the float -0.0.
            if (text.front() == '-') {
                std::int64_t value = 0;
                const auto r = std::from_chars(first, last, value);
                if (r.ec == std::errc{} && value != 0) return "integer `" + std::to_string(value) + "`";
            } else {
                std::uint64_t value = 0;
                if (std::from_chars(first, last, value).ec == std::errc{}) {
                    return "integer `" + std::to_string(value) + "`";
                }
            }
        }
        double value = 0;
        if (std::from_chars(first, last, value).ec != std::errc{}) fail_behind("number out of range");
        return "floating point `" + float_text(value) + "`";
    }

    // A scalar value, consumed, named as a type error names it.
    std::string scalar() {
        switch (peek()) {
            case '"': return "string " + quoted_form(string());
            case 't': literal("true"); return "boolean `true`";
            case 'f': literal("false"); return "boolean `false`";
            case 'n': literal("null"); return "null";
            default:
                if (peek() == '-' || is_digit(peek())) return describe_number(number());
                fail_ahead("expected value");
        }
    }

    // Looking at a value that is not of the expected type.
    [[noreturn]] void fail_invalid_type(const std::string& expected) {
        if (peek() == '[') fail_ahead("invalid type: sequence, expected " + expected);
        if (peek() == '{') fail_ahead("invalid type: map, expected " + expected);
        const std::string found = scalar();
        fail_behind("invalid type: " + found + ", expected " + expected);
    }

    std::string string_value() {
        skip_whitespace();
        if (at_end()) fail_ahead("EOF while parsing a value");
        if (peek() != '"') fail_invalid_type("a string");
        std::string value = string();
        if (auto checked = check_no_nul(value); !checked) fail_behind(std::move(checked.error()));
        return value;
    }

    std::vector<std::string> string_list() {
        skip_whitespace();
        if (at_end()) fail_ahead("EOF while parsing a value");
        if (peek() != '[') fail_invalid_type("a sequence");
        ++pos_;
        std::vector<std::string> list;
        elements([&] { list.push_back(string_value()); });
        return list;
    }

    // Any value; `depth` is the nesting level it would open.
    void skip_value(std::size_t depth) {
        skip_whitespace();
        if (at_end()) fail_ahead("EOF while parsing a value");
        const char c = peek();
        if (c == '[' || c == '{') {
            if (depth > kMaxDepth) fail_ahead("recursion limit exceeded");
            ++pos_;
            if (c == '[') {
                elements([&] { skip_value(depth + 1); });
            } else {
                members([](const std::string&) { return false; }, [&](const std::string&) { skip_value(depth + 1); });
            }
        } else if (c == '"') {
            string();
        } else if (c == '-' || is_digit(c)) {
            number();  // only the syntax: a skipped number may be out of range
        } else {
            scalar();
        }
    }

    // The elements of an array whose '[' is consumed, through its ']'.
    template <class Element>
    void elements(Element&& element) {
        for (bool first = true;; first = false) {
            skip_whitespace();
            if (at_end()) fail_ahead("EOF while parsing a list");
            if (peek() == ']') {
                ++pos_;
                return;
            }
            if (!first) {
                if (peek() != ',') fail_ahead("expected `,` or `]`");
                ++pos_;
            }
            element();
        }
    }

    // The members of an object whose '{' is consumed, through its '}'.
    // `duplicate(key)` refuses a key; `member(key)` reads the value after the colon.
    template <class Duplicate, class Member>
    void members(Duplicate&& duplicate, Member&& member) {
        for (bool first = true;; first = false) {
            skip_whitespace();
            if (at_end()) fail_ahead("EOF while parsing an object");
            if (peek() == '}') {
                ++pos_;
                return;
            }
            if (!first) {
                if (peek() != ',') fail_ahead("expected `,` or `}`");
                ++pos_;
                skip_whitespace();
                if (at_end()) fail_ahead("EOF while parsing a value");
            }
            if (peek() != '"') fail_ahead("key must be a string");
            const std::string key = string();
            skip_whitespace();
            if (duplicate(key)) fail_ahead("duplicate field `" + key + "`");
            if (at_end()) fail_ahead("EOF while parsing an object");
            if (peek() != ':') fail_ahead("expected `:`");
            ++pos_;
            member(key);
        }
    }
};

}  // namespace

Result<std::vector<FieldValue>, ParseError> read_record(std::string_view text, const RecordShape& shape) {
    using R = Result<std::vector<FieldValue>, ParseError>;
    try {
        return R::ok(Reader(text).record(shape));
    } catch (Failure& failure) {
        return R::err(std::move(failure.error));
    }
}

Result<Unit, std::string> check_no_nul(std::string_view value) {
    const std::size_t at = value.find('\0');
    if (at == std::string_view::npos) return Result<Unit, std::string>::ok(Unit{});
    return Result<Unit, std::string>::err("nul byte found in provided data at position: " + std::to_string(at));
}

}  // namespace launcherwindows::init::json
