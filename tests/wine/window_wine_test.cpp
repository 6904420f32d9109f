// The error window of a failed desktop start as a person sees it: under a
// display of its own (Xvfb) and a Wine prefix of its own, found by its title,
// read, and closed by a click.
#include <gtest/gtest.h>

#include <csignal>
#include <future>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "harness.h"

using namespace wine_harness;

namespace {

using std::chrono::seconds;

// Xvfb and the prefix's server live while the test does, and no longer.
class WineFailureWindow : public testing::Test {
protected:
    static void SetUpTestSuite() {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        xvfb_ = fork();
        ASSERT_GE(xvfb_, 0);
        if (xvfb_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            close(ready[0]);
            const std::string fd = std::to_string(ready[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0", "1024x768x24",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ready[1]);
        // Xvfb chooses a free display and writes its number once it serves it.
        std::string number;
        char c = 0;
        while (read(ready[0], &c, 1) == 1 && c != '\n') number += c;
        close(ready[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start";
        display_ = ":" + number;
        const RunResult started = run_host({"/bin/sh", LAUNCHER_WINE_PREFIX_SCRIPT, "start", prefix(), LAUNCHER_WINE_ARCH},
                                           {{"LAUNCHER_WINE_DISPLAY", display_}}, {}, seconds(400));
        ASSERT_EQ(started.status, 0) << started.out << started.err;
    }

    static void TearDownTestSuite() {
        run_host({"/bin/sh", LAUNCHER_WINE_PREFIX_SCRIPT, "stop", prefix(), LAUNCHER_WINE_ARCH}, {}, {}, seconds(60));
        if (xvfb_ > 0) {
            kill(xvfb_, SIGTERM);
            waitpid(xvfb_, nullptr, 0);
        }
    }

    static std::string prefix() { return wineprefix() + "-display"; }

    static RunResult run_here(const fs::path& exe, std::vector<std::string> args, const fs::path& cwd) {
        return run_exe(exe, {.args = std::move(args), .cwd = cwd, .env = {{"WINEPREFIX", prefix()}, {"DISPLAY", display_}},
                             .timeout = seconds(120)});
    }

    static inline pid_t xvfb_ = -1;
    static inline std::string display_;
};

fs::path tool(const std::string& folder, const std::string& name) {
    return windows_build_dir() / "tests" / folder / (name + ".exe");
}

// The record's quoted form read back: here only quotes and backslashes are escaped.
std::string unquoted(const std::string& quoted) {
    std::string text;
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) text += quoted[i] == '\\' ? quoted[++i] : quoted[i];
    return text;
}

}  // namespace

TEST_F(WineFailureWindow, OnlyAFailedDesktopStartWithoutStandardErrorWaitsForItsWindowToBeClosed) {
    const fs::path launcher = launcher_exe();
    const fs::path failing = windows_build_dir() / "tests" / "foundation" / "launcher_integrity_fail.exe";
    const struct {
        std::string name;
        fs::path exe;
        std::vector<std::string> args;
        bool handles;  // the starter's standard handles, as a terminal gives them
        std::string window;  // the window's title, or "" for none
        int status;
    } rows[] = {
        {"no-runtime", launcher, {"ormic"}, false, "ormic", 255},
        {"integrity", failing, {"--ormic"}, false, "ormic", 3},
        {"handles", launcher, {"ormic"}, true, "", 255},
        {"zentu", launcher, {"zentu", "x"}, false, "", 255},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Tree t = make_tree("window/" + row.name, row.exe);
        std::vector<std::string> args = row.args;
        if (!row.handles) args.insert(args.begin(), windows_path(t.exe));
        const fs::path exe = row.handles ? t.exe : tool("console", "start_without_handles");
        auto start = std::async(std::launch::async, [&] { return run_here(exe, args, t.root); });
        if (row.window.empty()) {
            const RunResult r = start.get();
            EXPECT_FALSE(r.timed_out);
            EXPECT_EQ(r.status, row.status);
            continue;
        }
        const RunResult seen = run_here(tool("window", "find_window"), {row.window, "60"}, t.root);
        ASSERT_EQ(seen.status, 0) << seen.out << seen.err;
        // The process waits for the person.
        EXPECT_EQ(start.wait_for(seconds(1)), std::future_status::timeout);
        const RunResult clicked = run_here(tool("window", "find_window"), {row.window, "10", "--click"}, t.root);
        EXPECT_EQ(clicked.status, 0) << clicked.out << clicked.err;
        const RunResult r = start.get();
        EXPECT_FALSE(r.timed_out);
        EXPECT_EQ(r.status, row.status);

        const std::vector<std::string> records = log_messages(read_file(t.log_file()));
        ASSERT_FALSE(records.empty());
        const std::string cause = row.status == 3 ? "integrity of ormic application in invalid"
                                                  : unquoted(records.back().substr(std::string("ERROR Application error: ").size()));
        EXPECT_EQ(seen.out, "title: ormic\nforeground: yes\nbutton: OK\ntext: " + cause +
                                "\n\nThe log file has the details:\n" + windows_path(t.log_file()) + "\n");
    }
}
