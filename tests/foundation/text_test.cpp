#include <gtest/gtest.h>

#include <cstdio>

#include "common/unicode.h"
#include "process/process.h"
#include "process/util.h"
#include "text/quoted.h"

using namespace launcherwindows;

TEST(Unicode, RoundTripsEveryPlane) {
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";  // a é € 😀 z
    const std::u16string wide = unicode::utf8_to_utf16(text);
    EXPECT_EQ(wide, u"a\u00e9\u20ac\U0001F600z");
    EXPECT_EQ(unicode::utf16_to_utf8(wide), text);
}

TEST(Unicode, UnpairedSurrogatesAndBadBytesBecomeReplacementCharacters) {
    const char16_t lone[] = {u'x', 0xD800, u'y', 0xDC00};
    EXPECT_EQ(unicode::utf16_to_utf8(std::u16string_view(lone, 4)), "x\xEF\xBF\xBDy\xEF\xBF\xBD");
    EXPECT_EQ(unicode::utf8_to_utf16("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_FALSE(unicode::is_valid_utf8("\xC0\x80"));        // overlong NUL
    EXPECT_FALSE(unicode::is_valid_utf8("\xED\xA0\x80"));    // encoded surrogate
    EXPECT_FALSE(unicode::is_valid_utf8("\xE2\x82"));        // truncated
    EXPECT_EQ(unicode::first_invalid_utf8("ab\xE2\x82"), 2u);
    EXPECT_TRUE(unicode::is_valid_utf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF
}

TEST(Quoted, EscapesQuotesBackslashesAndControls) {
    EXPECT_EQ(quoted_form(""), "\"\"");
    EXPECT_EQ(quoted_form("C:\\a \"b\""), "\"C:\\\\a \\\"b\\\"\"");
    EXPECT_EQ(quoted_form(std::string("t\tr\rn\nz\0e", 9)), "\"t\\tr\\rn\\nz\\0e\"");
    EXPECT_EQ(quoted_form("\x01\x1f\x7f"), "\"\\u{1}\\u{1f}\\u{7f}\"");
    EXPECT_EQ(quoted_form("\xC2\x85"), "\"\\u{85}\"");  // C1 control NEL
}

TEST(Quoted, EscapesByUnicodeClassAndKeepsPrintableCharactersRaw) {
    struct Case {
        char32_t c;
        bool escaped;
        const char* why;
    };
    const Case cases[] = {
        {0x0483, true, "Mn"}, {0x0591, true, "Mn"}, {0x064B, true, "Mn"}, {0x093C, true, "Mn"},
        {0x3099, true, "Mn"}, {0xFE0F, true, "Mn, variation selector"}, {0x0301, true, "Mn"},
        {0x20DD, true, "Me"}, {0x0CC2, true, "Mc with Grapheme_Extend"}, {0xFF9E, true, "Lm with Grapheme_Extend"},
        {0xE000, true, "Co"}, {0xF0000, true, "Co, plane 15"}, {0x10FFFD, true, "Co, plane 16"},
        {0x0378, true, "Cn"}, {0xFFFF, true, "Cn, noncharacter"}, {0xFDD0, true, "Cn, noncharacter"},
        {0x50000, true, "Cn, empty plane"}, {0x10FFFF, true, "Cn, last code point"},
        {0xE0001, true, "Cf, tag"}, {0x061C, true, "Cf, bidi mark"}, {0x2066, true, "Cf, isolate"},
        {0x2067, true, "Cf, isolate"}, {0x2068, true, "Cf, isolate"}, {0x2069, true, "Cf, isolate"},
        {0x00AD, true, "Cf"}, {0x200D, true, "Cf"}, {0xFEFF, true, "Cf"},
        {0x00A0, true, "Zs"}, {0x3000, true, "Zs"}, {0x2028, true, "Zl"}, {0x2029, true, "Zp"},
        {0x0001, true, "Cc"}, {0x001B, true, "Cc"}, {0x007F, true, "Cc"}, {0x0085, true, "Cc"},
        {0x0020, false, "space"}, {'a', false, "Ll"}, {0x00E9, false, "e acute"}, {0x4E2D, false, "Lo"},
        {0x20AC, false, "Sc"}, {0x1F600, false, "emoji"}, {0x1F3FB, false, "emoji modifier, Sk"},
        {0x0903, false, "Mc without Grapheme_Extend"}, {0xFFFD, false, "So"}, {0x10000, false, "Lo, plane 1"},
    };
    for (const Case& k : cases) {
        std::string raw;
        unicode::append_utf8(raw, k.c);
        char hex[16];
        std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(k.c));
        const std::string expected = k.escaped ? "\"\\u{" + std::string(hex) + "}\"" : "\"" + raw + "\"";
        EXPECT_EQ(quoted_form(raw), expected) << "U+" << hex << " (" << k.why << ")";
    }
    // Escapes sit between raw neighbours; bad bytes stay \x{..}.
    EXPECT_EQ(quoted_form("e\xCC\x81x\xE2\x81\xA6"), "\"e\\u{301}x\\u{2066}\"");
    EXPECT_EQ(quoted_form("\xFF\xED\xA0\x80"), "\"\\x{ff}\\x{ed}\\x{a0}\\x{80}\"");
}

// The "Entry:: " record: only what could break a line or hide is escaped.
TEST(Quoted, ControlsEscapedLeavesEverythingElseAsTyped) {
    const std::pair<std::string, std::string> cases[] = {
        {"--ormic", "--ormic"},
        {"C:\\a \"b\" \xC3\xA9" "e\xCC\x81", "C:\\a \"b\" \xC3\xA9" "e\xCC\x81"},
        {"x\r\n\n2026-12-09T10:00:00.000+01:00 ERROR launcherwindows - forged",
         "x\\r\\n\\n2026-12-09T10:00:00.000+01:00 ERROR launcherwindows - forged"},
        {std::string("t\tz\0\x1b\x7f", 6), "t\\tz\\0\\u{1b}\\u{7f}"},
        {"\xC2\x85\xE2\x80\xA8\xE2\x80\xA9", "\\u{85}\\u{2028}\\u{2029}"},
        {"\xFF", "\xFF"},
    };
    for (const auto& [typed, written] : cases) EXPECT_EQ(controls_escaped(typed), written);
}

TEST(Quoted, NestsLikeTheClassPathMessages) {
    const std::string inner = quoted_form("error reading classpath count for app x");
    EXPECT_EQ(quoted_form("Loading of x class_paths failed: " + inner),
              "\"Loading of x class_paths failed: \\\"error reading classpath count for app x\\\"\"");
}

TEST(ParentDirectory, FollowsThePlatformRules) {
#ifdef _WIN32
    EXPECT_EQ(parent_directory("C:\\Apps\\Suite\\bin\\launcher.exe"), "C:\\Apps\\Suite\\bin");
    EXPECT_EQ(parent_directory("C:\\Apps\\Suite\\bin"), "C:\\Apps\\Suite");
    EXPECT_EQ(parent_directory("C:\\launcher.exe"), "C:\\");
    EXPECT_EQ(parent_directory("C:\\"), std::nullopt);
    EXPECT_EQ(parent_directory("C:/Apps/x.exe"), "C:/Apps");
    EXPECT_EQ(parent_directory("\\\\server\\share\\bin\\l.exe"), "\\\\server\\share\\bin");
    EXPECT_EQ(parent_directory("\\\\server\\share\\bin"), "\\\\server\\share\\");
    EXPECT_EQ(parent_directory("C:\\a\\\\b\\"), "C:\\a");
#else
    EXPECT_EQ(parent_directory("/opt/suite/bin/launcher"), "/opt/suite/bin");
    EXPECT_EQ(parent_directory("/launcher"), "/");
    EXPECT_EQ(parent_directory("/"), std::nullopt);
    EXPECT_EQ(parent_directory("/a//b/"), "/a");
#endif
    EXPECT_EQ(parent_directory("launcher.exe"), std::nullopt);
}

TEST(InstallationDirectory, IsTwoLevelsAboveTheRunningExecutable) {
    const auto exe = current_executable_path();
    ASSERT_TRUE(exe.is_ok());
    EXPECT_EQ(get_halvora_directory(), *parent_directory(*parent_directory(exe.value())));
}

TEST(FatalStop, WritesTheMessageAndEndsWithStatus3) {
    EXPECT_EXIT(fatal_stop("integrity of ormic application in invalid"), testing::ExitedWithCode(3),
                "^integrity of ormic application in invalid\n$");
}
