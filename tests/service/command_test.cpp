// The service command's pieces: the sub-command words, the command line's
// quoting, the texts handed to the control manager and the diagnostics.
#include <gtest/gtest.h>

#include <random>

#include "dispatch/vesmors.h"
#include "install_service/command_line.h"
#include "install_service/service_text.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#include "common/unicode_windows.h"
#endif

using namespace launcherwindows;
using namespace launcherwindows::install_service;
using namespace std::string_view_literals;

TEST(SubCommand, WordsMatchByteForByteOnly) {
    for (auto w : {"--install", "-i", "install"}) EXPECT_EQ(vesmors_action(w), VesmorsAction::Install) << w;
    for (auto w : {"--remove", "-r", "remove"}) EXPECT_EQ(vesmors_action(w), VesmorsAction::Remove) << w;
    for (auto w : {"--start", "-t", "start", "--service", "-s"}) {
        EXPECT_EQ(vesmors_action(w), VesmorsAction::RunService) << w;
    }
    EXPECT_EQ(vesmors_action("daemon"), VesmorsAction::Daemon);
    for (auto w : {""sv, "Install"sv, "INSTALL"sv, " install"sv, "install "sv, "install\t"sv, "installx"sv, "-install"sv,
                   "--i"sv, "-I"sv, "Start"sv, "-start"sv, "stop"sv, "Daemon"sv, "daemon\n"sv, "start\0"sv,
                   "--services"sv, "r"sv}) {
        EXPECT_EQ(vesmors_action(w), VesmorsAction::Usage) << '[' << w << ']';
    }
}

TEST(QuoteArgument, QuotesOnlyWhenNeededAndEscapesBackslashesOnlyBeforeQuotes) {
    EXPECT_EQ(quote_argument("C:\\Apps\\vesmors\\bin\\launcher.exe"), "C:\\Apps\\vesmors\\bin\\launcher.exe");
    EXPECT_EQ(quote_argument("C:\\Program Files\\bin\\launcher.exe"), "\"C:\\Program Files\\bin\\launcher.exe\"");
    EXPECT_EQ(quote_argument("a\tb"), "\"a\tb\"");
    EXPECT_EQ(quote_argument("a\vb"), "\"a\vb\"");
    EXPECT_EQ(quote_argument("a\nb"), "\"a\nb\"");
    EXPECT_EQ(quote_argument("say \"hi\""), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(quote_argument("a\\\\\"b"), "\"a\\\\\\\\\\\"b\"");  // 2 backslashes and a quote: 5 and the quote
    EXPECT_EQ(quote_argument("dir x\\\\"), "\"dir x\\\\\\\\\"");   // 2 at the end: 4
    EXPECT_EQ(quote_argument("x\\"), "x\\");                       // no quoting, nothing doubled
    EXPECT_EQ(service_command_line("C:\\A B\\vesmors\\l.exe"), "\"C:\\A B\\vesmors\\l.exe\" start");
    EXPECT_EQ(service_command_line("C:\\AB\\bin\\l.exe"), "C:\\AB\\bin\\l.exe vesmors start");
}

TEST(ServiceText, NulPositionsStatesAndDiagnostics) {
    EXPECT_TRUE(check_text("C:\\x\\launcher.exe", ServiceError::Kind::InvalidExecutablePath));
    const auto nul = check_text("C:\\x\0y"sv, ServiceError::Kind::InvalidExecutablePath);
    ASSERT_FALSE(nul);
    EXPECT_EQ(nul.error().diagnostic(), "InvalidExecutablePath(4)");
    EXPECT_EQ(check_text("\0"sv, ServiceError::Kind::InvalidServiceName).error().diagnostic(), "InvalidServiceName(0)");

    for (std::uint32_t s = 1; s <= 7; ++s) EXPECT_TRUE(check_state(s)) << s;
    EXPECT_EQ(check_state(0).error().diagnostic(), "InvalidServiceState(0)");
    EXPECT_EQ(check_state(9).error().diagnostic(), "InvalidServiceState(9)");
    EXPECT_EQ(check_state(0xFFFFFFFF).error().diagnostic(), "InvalidServiceState(4294967295)");

    EXPECT_EQ(path_line(ModulePath::ok("C:\\A B\\bin\\launcher.exe")), "Ok(\"C:\\\\A B\\\\bin\\\\launcher.exe\")");
    const std::string err = path_line(ModulePath::err(5));
    EXPECT_EQ(err.rfind("Err(5: ", 0), 0u) << err;
    EXPECT_EQ(err.back(), ')');
}

#ifdef _WIN32
namespace {

std::vector<std::wstring> windows_split(const std::wstring& command_line) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(command_line.c_str(), &argc);
    std::vector<std::wstring> out;
    for (int i = 0; argv != nullptr && i < argc; ++i) out.emplace_back(argv[i]);
    LocalFree(argv);
    return out;
}

// Paths built from the characters that matter to the rule, with runs of
// backslashes before quotes and at the end.
std::string generated_path(std::mt19937& rng) {
    static const std::vector<std::string> pieces = {"a", "Z", "\xC3\xA9", " ", "  ", "\t", "\v", "\n", "\"", "\\",
                                                    "\\\\", "\\\\\\", "\\\"", "\\\\\"", "vesmors", ":", "."};
    std::string path;
    const int n = std::uniform_int_distribution<int>(1, 12)(rng);
    for (int i = 0; i < n; ++i) path += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(rng)];
    if (rng() % 4 == 0) path.append(rng() % 4 + 1, '\\');
    return path;
}

}  // namespace

TEST(QuoteArgument, CommandLineToArgvWReadsEveryGeneratedPathBackUnchanged) {
    std::mt19937 rng(20261208);
    int checked = 0, as_program = 0;
    for (int i = 0; i < 5000; ++i) {
        const std::string path = generated_path(rng);
        const std::wstring wide = unicode::to_wide(path);
        const auto args = windows_split(L"prog " + unicode::to_wide(quote_argument(path)));
        ASSERT_EQ(args.size(), 2u) << quote_argument(path);
        ASSERT_EQ(args[1], wide) << quote_argument(path);
        ++checked;

        // As the service's program: Windows reads the first element without
        // backslash escapes, which an executable's path (no quotes, no
        // trailing backslash) never needs.
        if (path.find('"') == std::string::npos && path.back() != '\\') {
            const auto service = windows_split(unicode::to_wide(service_command_line(path)));
            std::vector<std::wstring> expected = {wide, L"start"};
            if (path.find("vesmors") == std::string::npos) expected.insert(expected.begin() + 1, L"vesmors");
            EXPECT_EQ(service, expected) << service_command_line(path);
            ++as_program;
        }
    }
    EXPECT_EQ(checked, 5000);
    EXPECT_GT(as_program, 500);
}
#endif
