// The record reader: acceptance rules, messages and positions.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "init/records.h"

using namespace launcherwindows::init;

namespace {

constexpr std::string_view kValid =
    R"({"jvm_path":"j","main_class":"m","encrypt_class":"e","options":["a","b"]})";

struct Expected {
    std::string description;
    std::size_t line;
    std::size_t column;
};

::testing::AssertionResult fails_with(std::string_view text, const Expected& e) {
    const auto r = read_java_app(text);
    if (r) return ::testing::AssertionFailure() << "parsed: " << text;
    const ParseError& got = r.error();
    if (got.description == e.description && got.line == e.line && got.column == e.column) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "text: " << text << "\n  got:      " << got.to_string()
                                         << "\n  expected: " << e.description << " at " << e.line << ":"
                                         << e.column;
}

JavaApp parse(std::string_view text) {
    auto r = read_java_app(text);
    EXPECT_TRUE(r) << (r ? "" : r.error().to_string());
    return r ? r.value() : JavaApp{};
}

}  // namespace

TEST(Reader, WorkedExamples) {
    EXPECT_TRUE(fails_with("", {"EOF while parsing a value", 1, 0}));
    EXPECT_TRUE(fails_with("5", {"invalid type: integer `5`, expected struct JavaApp", 1, 1}));
    EXPECT_TRUE(fails_with("{}", {"missing field `jvm_path`", 1, 2}));
    EXPECT_TRUE(fails_with(R"(["a","b","c"])", {"invalid length 3, expected struct JavaApp with 4 elements", 1, 13}));
    EXPECT_TRUE(fails_with(std::string(kValid) + "x", {"trailing characters", 1, kValid.size() + 1}));
    EXPECT_TRUE(fails_with(std::string(kValid) + " \r\n\t x", {"trailing characters", 2, 3}));
    EXPECT_TRUE(fails_with(" \r\n ", {"EOF while parsing a value", 2, 1}));
}

TEST(Reader, DiagnosticFormQuotesTheDescription) {
    EXPECT_EQ((ParseError{"missing field `jvm_path`", 1, 2}.to_string()),
              "Error(\"missing field `jvm_path`\", line: 1, column: 2)");
    const auto r = read_java_app(R"("a\"b")");
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().to_string(),
              R"(Error("invalid type: string \"a\\\"b\", expected struct JavaApp", line: 1, column: 6))");
    const auto c = read_java_app("[\"a\tb\"]");
    ASSERT_FALSE(c);
    EXPECT_EQ(c.error().to_string(),
              R"(Error("control character (\\u0000-\\u001F) found while parsing a string", line: 1, column: 4))");
}

TEST(Reader, NamesWhatItFoundInsteadOfARecord) {
    const auto found = [](std::string_view text, const std::string& what) {
        return fails_with(text, {"invalid type: " + what + ", expected struct JavaApp", 1, text.size()});
    };
    EXPECT_TRUE(found("true", "boolean `true`"));
    EXPECT_TRUE(found("false", "boolean `false`"));
    EXPECT_TRUE(found("null", "null"));
    EXPECT_TRUE(found("-5", "integer `-5`"));
    EXPECT_TRUE(found("18446744073709551615", "integer `18446744073709551615`"));
    EXPECT_TRUE(found("-9223372036854775808", "integer `-9223372036854775808`"));
    // Beyond 64 bits an integer is read as a double.
    EXPECT_TRUE(found("18446744073709551616", "floating point `18446744073709552000.0`"));
    EXPECT_TRUE(found("-9223372036854775809", "floating point `-9223372036854776000.0`"));
    EXPECT_TRUE(found("1.5", "floating point `1.5`"));
    EXPECT_TRUE(found("0.1", "floating point `0.1`"));
    EXPECT_TRUE(found("1e3", "floating point `1000.0`"));
    EXPECT_TRUE(found("-1.5E-2", "floating point `-0.015`"));
    EXPECT_TRUE(found("2.5e-7", "floating point `0.00000025`"));
    EXPECT_TRUE(found("-0", "floating point `-0.0`"));
    EXPECT_TRUE(found(R"("x")", R"(string "x")"));
    EXPECT_TRUE(found(R"("a\nb\u0001")", R"(string "a\nb\u{1}")"));
    EXPECT_TRUE(fails_with("1e400", {"number out of range", 1, 5}));
    EXPECT_TRUE(fails_with("\n  @", {"expected value", 2, 3}));
}

TEST(Reader, ObjectFormWithKeysInAnyOrder) {
    const JavaApp app = parse(R"({
        "options": ["-Xms64m", "-Dx=\"q\" \\ \/"],
        "encrypt_class": "e/E",
        "main_class": "m/M",
        "jvm_path": ".\\jre\\bin\\client\\jvm.dll"
    })");
    EXPECT_EQ(app.jvm_path, R"(.\jre\bin\client\jvm.dll)");
    EXPECT_EQ(app.main_class, "m/M");
    EXPECT_EQ(app.encrypt_class, "e/E");
    EXPECT_EQ(app.options, (std::vector<std::string>{"-Xms64m", R"(-Dx="q" \ /)"}));
}

TEST(Reader, SkipsUnknownKeysOfEveryJsonType) {
    const JavaApp app = parse(R"({
        "s": "text \" with \\ escapes \u00e9 \ud83d\ude00",
        "jvm_path": "j",
        "i": -12, "f": 3.25e-4, "big": 1e400, "t": true, "n": null, "no": false,
        "main_class": "m",
        "a": [1, "two", [3, [4]], {"five": 5}, [], {}],
        "o": {"nested": {"deeper": [null, {"x": "y"}]}, "empty": {}},
        "encrypt_class": "e",
        "s": "an unknown key may repeat",
        "options": ["o"],
        "nul": "\u0000 is fine where nothing keeps it",
        "last": {}
    })");
    EXPECT_EQ(app.jvm_path, "j");
    EXPECT_EQ(app.main_class, "m");
    EXPECT_EQ(app.encrypt_class, "e");
    EXPECT_EQ(app.options, std::vector<std::string>{"o"});
}

TEST(Reader, KeysAreComparedAfterUnescaping) {
    const JavaApp app = parse(R"({"jvm\u005fpath":"j","main_class":"m","encrypt_class":"e","options":[],"Jvm_path":5})");
    EXPECT_EQ(app.jvm_path, "j");
    EXPECT_TRUE(app.options.empty());
}

TEST(Reader, DecodesStringEscapes) {
    const JavaApp app = parse(
        R"(["a\"b\\c\/d\b\f\n\r\t", "\u00e9\u20AC\ud83d\ude00", "caf)" "\xC3\xA9" R"(", []])");
    EXPECT_EQ(app.jvm_path, "a\"b\\c/d\b\f\n\r\t");
    EXPECT_EQ(app.main_class, "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(app.encrypt_class, "caf\xC3\xA9");
    EXPECT_EQ(parse(R"(["\uDBFF\uDFFF", "m", "e", []])").jvm_path, "\xF4\x8F\xBF\xBF");  // U+10FFFF, the last
}

TEST(Reader, MissingAndDuplicateFields) {
    // The first missing field in field order, reported at the closing brace.
    EXPECT_TRUE(fails_with("{\n  \"jvm_path\": \"j\",\n  \"encrypt_class\": \"e\"\n}", {"missing field `main_class`", 4, 1}));
    EXPECT_TRUE(fails_with(R"({"jvm_path":"j","main_class":"m","encrypt_class":"e"})",
                           {"missing field `options`", 1, 53}));
    EXPECT_TRUE(fails_with(R"({"options":[],"x":1})", {"missing field `jvm_path`", 1, 20}));
    // A repeated known key is refused at the byte after it (white space skipped).
    EXPECT_TRUE(fails_with("{\"jvm_path\":\"a\",\n \"jvm_path\" : \"b\"}", {"duplicate field `jvm_path`", 2, 13}));
    EXPECT_TRUE(fails_with(R"({"options":[],"options")", {"duplicate field `options`", 1, 23}));
    EXPECT_TRUE(fails_with(R"({"main_class":"m","x":[],"main_class":1})", {"duplicate field `main_class`", 1, 38}));
}

TEST(Reader, ArrayForm) {
    const JavaApp app = parse(R"([ "j", "m", "e", ["o1", "o2", "o3"] ])");
    EXPECT_EQ(app.jvm_path, "j");
    EXPECT_EQ(app.main_class, "m");
    EXPECT_EQ(app.encrypt_class, "e");
    EXPECT_EQ(app.options, (std::vector<std::string>{"o1", "o2", "o3"}));

    EXPECT_TRUE(fails_with("[]", {"invalid length 0, expected struct JavaApp with 4 elements", 1, 2}));
    EXPECT_TRUE(fails_with("[\"j\",\n\"m\",\n\"e\"\n]", {"invalid length 3, expected struct JavaApp with 4 elements", 4, 1}));
    // Surplus values are read (any JSON) and counted.
    EXPECT_TRUE(fails_with(R"(["j","m","e",[],{"x":[1]},null])",
                           {"invalid length 6, expected struct JavaApp with 4 elements", 1, 31}));
    EXPECT_TRUE(fails_with(R"(["j","m","e",["o",7]])", {"invalid type: integer `7`, expected a string", 1, 19}));
    EXPECT_TRUE(fails_with(R"(["j",["m"],"e",[]])", {"invalid type: sequence, expected a string", 1, 6}));
    EXPECT_TRUE(fails_with(R"(["j","m","e",{}])", {"invalid type: map, expected a sequence", 1, 14}));
}

TEST(Reader, FieldsOfTheWrongType) {
    EXPECT_TRUE(fails_with(R"({"jvm_path": 5})", {"invalid type: integer `5`, expected a string", 1, 14}));
    EXPECT_TRUE(fails_with(R"({"jvm_path": {"a":1}})", {"invalid type: map, expected a string", 1, 14}));
    EXPECT_TRUE(fails_with(R"({"options": "-Xms64m"})", {R"(invalid type: string "-Xms64m", expected a sequence)", 1, 21}));
    EXPECT_TRUE(fails_with(R"({"options": ["a", null]})", {"invalid type: null, expected a string", 1, 22}));
    EXPECT_TRUE(fails_with(R"({"options": [true]})", {"invalid type: boolean `true`, expected a string", 1, 17}));
}

TEST(Reader, ValueWithANulIsRefused) {
    EXPECT_TRUE(fails_with(R"({"jvm_path":"a\u0000b"})", {"nul byte found in provided data at position: 1", 1, 22}));
    EXPECT_TRUE(fails_with("{\"options\": [\"ok\",\n  \"\\u0000\"]}", {"nul byte found in provided data at position: 0", 2, 10}));
    // A raw NUL byte is a control character.
    EXPECT_TRUE(fails_with(std::string_view("[\"a\0\"]", 6),
                           {"control character (\\u0000-\\u001F) found while parsing a string", 1, 4}));
}

TEST(Reader, SyntaxErrorsWithPositions) {
    const std::string ctl = "control character (\\u0000-\\u001F) found while parsing a string";
    EXPECT_TRUE(fails_with(R"({"jvm_path":"abc)", {"EOF while parsing a string", 1, 16}));
    EXPECT_TRUE(fails_with(R"({"jvm_path":"a\)", {"EOF while parsing a string", 1, 15}));
    EXPECT_TRUE(fails_with(R"({"jvm_path":"\u12)", {"EOF while parsing a string", 1, 17}));
    EXPECT_TRUE(fails_with("{", {"EOF while parsing an object", 1, 1}));
    EXPECT_TRUE(fails_with(R"({"jvm_path")", {"EOF while parsing an object", 1, 11}));
    EXPECT_TRUE(fails_with(R"({"jvm_path":"a")", {"EOF while parsing an object", 1, 15}));
    EXPECT_TRUE(fails_with(R"({"jvm_path":)", {"EOF while parsing a value", 1, 12}));
    EXPECT_TRUE(fails_with(R"({"jvm_path":"a",)", {"EOF while parsing a value", 1, 16}));
    EXPECT_TRUE(fails_with("[", {"EOF while parsing a list", 1, 1}));
    EXPECT_TRUE(fails_with(R"({"options":["a")", {"EOF while parsing a list", 1, 15}));
    EXPECT_TRUE(fails_with(R"({"x":[1,)", {"EOF while parsing a value", 1, 8}));
    EXPECT_TRUE(fails_with(R"({"x":tru)", {"EOF while parsing a value", 1, 8}));
    EXPECT_TRUE(fails_with(R"({"jvm_path" "a"})", {"expected `:`", 1, 13}));
    EXPECT_TRUE(fails_with(R"({"jvm_path":"a" "b"})", {"expected `,` or `}`", 1, 17}));
    EXPECT_TRUE(fails_with(R"({"options":["a" "b"]})", {"expected `,` or `]`", 1, 17}));
    EXPECT_TRUE(fails_with(R"({jvm_path:1})", {"key must be a string", 1, 2}));
    EXPECT_TRUE(fails_with(R"({"jvm_path":"a",})", {"key must be a string", 1, 17}));
    EXPECT_TRUE(fails_with(R"(["a",])", {"expected value", 1, 6}));
    EXPECT_TRUE(fails_with(R"({"x": tru})", {"expected value", 1, 10}));
    EXPECT_TRUE(fails_with(R"({"x": @})", {"expected value", 1, 7}));
    EXPECT_TRUE(fails_with(R"({"jvm_path":"a\qb"})", {"invalid escape", 1, 16}));
    EXPECT_TRUE(fails_with(R"({"jvm_path":"\u12G4"})", {"invalid escape", 1, 18}));
    EXPECT_TRUE(fails_with(R"({"jvm_path":"\ud800x"})", {"invalid escape", 1, 20}));
    EXPECT_TRUE(fails_with(R"({"jvm_path":"\ud800\u0041"})", {"invalid escape", 1, 25}));
    EXPECT_TRUE(fails_with(R"({"jvm_path":"\uDBFF\uE000"})", {"invalid escape", 1, 25}));
    EXPECT_TRUE(fails_with(R"({"jvm_path":"\udc00"})", {"invalid escape", 1, 19}));
    EXPECT_TRUE(fails_with(R"({"x": 01})", {"invalid number", 1, 8}));
    EXPECT_TRUE(fails_with(R"({"x": -a})", {"invalid number", 1, 8}));
    EXPECT_TRUE(fails_with(R"({"x": 1.})", {"invalid number", 1, 9}));
    EXPECT_TRUE(fails_with(R"({"x": 1e+})", {"invalid number", 1, 10}));
    EXPECT_TRUE(fails_with(R"({"x": 1.5e)", {"EOF while parsing a value", 1, 10}));
    EXPECT_TRUE(fails_with("{\"jvm_path\":\"a\tb\"}", {ctl, 1, 15}));
    // A line feed inside a string is looked at, so it already counts as the next line.
    EXPECT_TRUE(fails_with("{\n\"jvm_path\":\"a\nb\"}", {ctl, 3, 0}));
    EXPECT_TRUE(fails_with("{\"jvm_path\":\"a\xFF\"}", {"invalid unicode code point", 1, 15}));
    EXPECT_TRUE(fails_with("{\"jvm_path\":\"\xC3\"}", {"invalid unicode code point", 1, 14}));
}

TEST(Reader, NestingOfSkippedValuesIsLimited) {
    // The record is the first level: 127 nested arrays in a member still fit.
    const auto nested = [](std::size_t levels) {
        return R"({"x":)" + std::string(levels, '[') + std::string(levels, ']') +
               R"(,"jvm_path":"j","main_class":"m","encrypt_class":"e","options":[]})";
    };
    EXPECT_TRUE(read_java_app(nested(127)));
    EXPECT_TRUE(fails_with(nested(128), {"recursion limit exceeded", 1, 5 + 128}));
    EXPECT_TRUE(fails_with(std::string(R"({"x":)") + std::string(100000, '['), {"recursion limit exceeded", 1, 5 + 128}));
    std::string objects = R"({"x":)";
    for (int i = 0; i < 200; ++i) objects += R"({"x":)";
    EXPECT_TRUE(fails_with(objects, {"recursion limit exceeded", 1, 5 + 5 * 127 + 1}));
}

TEST(DllAppReader, ReadsBothFormsWithTheSameRules) {
    const auto obj = read_dll_app("{\r\n    \"entry_point\": \"windowsEntry\",\r\n    \"x\": [1],\r\n    \"dll_path\": \"a.dll\"\r\n}");
    ASSERT_TRUE(obj);
    EXPECT_EQ(obj.value().dll_path, "a.dll");
    EXPECT_EQ(obj.value().entry_point, "windowsEntry");
    const auto arr = read_dll_app(R"(["a.dll","e"])");
    ASSERT_TRUE(arr);
    EXPECT_EQ(arr.value().entry_point, "e");

    const auto error = [](std::string_view text) { return read_dll_app(text).error().to_string(); };
    EXPECT_EQ(error(R"({"dll_path":"a.dll"})"), R"(Error("missing field `entry_point`", line: 1, column: 20))");
    EXPECT_EQ(error(R"({"dll_path":"a","dll_path":"b"})"), R"(Error("duplicate field `dll_path`", line: 1, column: 27))");
    EXPECT_EQ(error(R"(["a.dll"])"), R"(Error("invalid length 1, expected struct DllApp with 2 elements", line: 1, column: 9))");
    EXPECT_EQ(error("7"), R"(Error("invalid type: integer `7`, expected struct DllApp", line: 1, column: 1))");
    EXPECT_EQ(error(R"({"dll_path":"a","entry_point":"b\u0000"})"),
              R"(Error("nul byte found in provided data at position: 1", line: 1, column: 39))");
    EXPECT_EQ(error(R"({"dll_path":"a","entry_point":"b"} {})"), R"(Error("trailing characters", line: 1, column: 36))");
}
