// The host copy of CommandLineToArgvW's rules (used by the fuzz target of the
// service's command-line quoting) against the real function, on generated lines.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <random>
#include <string>
#include <vector>

#include "argv_rules.h"
#include "common/unicode_windows.h"

namespace {

std::vector<std::string> windows_argv(const std::string& line) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(launcherwindows::unicode::to_wide(line).c_str(), &argc);
    std::vector<std::string> out;
    if (argv == nullptr) return out;
    for (int i = 0; i < argc; ++i) out.push_back(launcherwindows::unicode::from_wide(argv[i]));
    LocalFree(argv);
    return out;
}

}  // namespace

TEST(ArgvRules, HostRulesSplitLikeCommandLineToArgvW) {
    // Blanks, quotes and backslashes in every combination that matters.
    const std::string pieces[] = {"a", "b", " ", "  ", "\t", "\\", "\\\\", "\"", "\"\"", "\"\"\"", "\xC3\xA9"};
    std::mt19937 rng(20261208);
    int compared = 0;
    for (int n = 0; n < 20000; ++n) {
        std::string line;
        const int len = 1 + static_cast<int>(rng() % 12);
        for (int k = 0; k < len; ++k) line += pieces[rng() % std::size(pieces)];
        // An empty line reads as the running program's own path.
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        ASSERT_EQ(argv_rules::command_line_to_argv(line), windows_argv(line)) << "line [" << line << "]";
        ++compared;
    }
    EXPECT_GT(compared, 15000);
}
