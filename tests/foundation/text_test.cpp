#include <gtest/gtest.h>

#include "process.h"
#include "quoted.h"
#include "unicode.h"
#include "util.h"

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

TEST(Quoted, KeepsPrintableUnicodeButEscapesCombiningMarks) {
    EXPECT_EQ(quoted_form("caf\xC3\xA9"), "\"caf\xC3\xA9\"");
    EXPECT_EQ(quoted_form("e\xCC\x81"), "\"e\\u{301}\"");          // U+0301
    EXPECT_EQ(quoted_form("\xE2\x83\x90"), "\"\\u{20d0}\"");       // U+20D0
    EXPECT_EQ(quoted_form("\xEF\xB8\xAF"), "\"\\u{fe2f}\"");       // U+FE2F
    EXPECT_EQ(quoted_form("\xE1\xAA\xB0"), "\"\\u{1ab0}\"");       // U+1AB0
    EXPECT_EQ(quoted_form("\xE1\xB7\x80"), "\"\\u{1dc0}\"");       // U+1DC0
    EXPECT_EQ(quoted_form("\xFF"), "\"\\x{ff}\"");
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
    ASSERT_TRUE(exe.path.has_value());
    EXPECT_EQ(get_halvora_directory(), *parent_directory(*parent_directory(*exe.path)));
}

TEST(FatalStop, WritesTheMessageAndEndsWithStatus3) {
    EXPECT_EXIT(fatal_stop("integrity of ormic application in invalid"), testing::ExitedWithCode(3),
                "^integrity of ormic application in invalid\n$");
}
