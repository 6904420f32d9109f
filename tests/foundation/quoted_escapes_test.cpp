// The generated ranges against the Unicode Character Database files
// themselves, read here without the generator's code.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "text/quoted_escapes.h"

namespace {

std::string field(const std::string& line, int n) {
    std::size_t from = 0;
    for (int i = 0; i < n; ++i) from = line.find(';', from) + 1;
    return line.substr(from, line.find(';', from) - from);
}

}  // namespace

TEST(QuotedEscapes, AgreeWithTheUnicodeCharacterDatabaseOnEveryCodePoint) {
    std::ifstream data(LAUNCHER_UCD_DIR "/UnicodeData.txt");
    std::ifstream derived(LAUNCHER_UCD_DIR "/DerivedCoreProperties.txt");
    ASSERT_TRUE(data && derived);

    std::map<char32_t, std::string> category;  // of each listed code point or range start
    std::map<char32_t, char32_t> range_end;
    std::string line;
    char32_t first = 0;
    while (std::getline(data, line)) {
        const auto c = static_cast<char32_t>(std::stoul(field(line, 0), nullptr, 16));
        if (field(line, 1).find(", Last>") != std::string::npos) {
            range_end[first] = c;  // the `<..., First>` line before holds the category
            continue;
        }
        category[c] = field(line, 2);
        range_end[c] = first = c;
    }
    std::map<char32_t, char32_t> extend;  // Grapheme_Extend ranges
    while (std::getline(derived, line)) {
        if (line.find("; Grapheme_Extend") == std::string::npos) continue;
        const std::size_t dots = line.find("..");
        const auto lo = static_cast<char32_t>(std::stoul(line, nullptr, 16));
        extend[lo] = dots < line.find(';') ? static_cast<char32_t>(std::stoul(line.substr(dots + 2), nullptr, 16)) : lo;
    }
    ASSERT_GT(category.size(), 30000u);
    ASSERT_GT(extend.size(), 300u);

    const std::string escaped_categories = " Zl Zp Cc Cf Cs Co ";
    int mismatches = 0;
    for (char32_t c = 0; c <= 0x10FFFF && mismatches < 10; ++c) {
        std::string gc = "Cn";
        auto r = range_end.upper_bound(c);
        if (r != range_end.begin() && c <= (--r)->second) gc = category[r->first];
        auto e = extend.upper_bound(c);
        const bool grapheme_extend = e != extend.begin() && c <= (--e)->second;
        const bool expected = grapheme_extend || gc == "Cn" || (gc == "Zs" && c != U' ') ||
                              escaped_categories.find(" " + gc + " ") != std::string::npos;
        if (launcherwindows::escaped_in_quoted_form(c) != expected) {
            ++mismatches;
            ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned long>(c) << " " << gc
                          << (grapheme_extend ? " Grapheme_Extend" : "");
        }
    }
}
