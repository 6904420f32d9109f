// Earlier starts' log, trace and console files kept beside the latest, under
// Wine against the real launcher.exe.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "harness.h"

using namespace wine_harness;
using namespace std::chrono_literals;

namespace {

fs::path numbered(const fs::path& file, int n) { return n == 0 ? file : fs::path(file.string() + "." + std::to_string(n)); }

std::string entry_line(const std::string& word) { return "INFO launcherwindows - Entry:: " + word + "\n"; }

}  // namespace

TEST(WineEarlierFiles, ElevenStartsKeepTheLatestAndTheNineBefore) {
    const Tree t = make_tree("earlier/eleven");
    for (int gen = 0; gen <= 10; ++gen) run(t, {.args = {"gen" + std::to_string(gen)}});
    for (int n = 0; n <= 9; ++n) {
        const auto entries = log_entries(read_file(numbered(t.log_file(), n)));
        ASSERT_EQ(entries.size(), 2u) << n;
        EXPECT_EQ(entries[1], entry_line("gen" + std::to_string(10 - n))) << n;
    }
    EXPECT_FALSE(fs::exists(numbered(t.log_file(), 10)));
}

// The trace and the console output of a failed Java start survive the next try.
TEST(WineEarlierFiles, AFailedJavaStartsTraceAndOutputSurviveTheNextStart) {
    const Tree t = make_tree("earlier/java");
    install_java_runtime(t.root);
    fs::create_directories(t.root / "launcher-logs");
    const fs::path cfg = t.root / "jre" / "bin" / "client" / "jvm_stub.cfg";
    write_file(cfg, "main=throw\nprint=1\n");
    EXPECT_EQ(run_exe(windows_build_dir() / "tests" / "console" / "start_without_handles.exe",
                      {.args = {windows_path(t.exe), "ormic"}, .cwd = t.root})
                  .status,
              255);
    write_file(cfg, "main=return\n");
    EXPECT_EQ(run_exe(windows_build_dir() / "tests" / "console" / "start_without_handles.exe",
                      {.args = {windows_path(t.exe), "ormic"}, .cwd = t.root})
                  .status,
              0);
    const fs::path logs = t.root / "launcher-logs";
    EXPECT_NE(read_file(logs / "launcher-cpp.log.1").find("IllegalStateException"), std::string::npos);
    EXPECT_EQ(read_file(logs / "launcher-cpp.log").find("IllegalStateException"), std::string::npos);
    EXPECT_NE(read_file(logs / "launcher.log.1").find("Application error"), std::string::npos);
    EXPECT_EQ(read_file(logs / "launcher.log").find("Application error"), std::string::npos);
    EXPECT_NE(read_file(logs / "ormic-console.log.1").find("System.out"), std::string::npos);
    EXPECT_EQ(read_file(logs / "ormic-console.log"), "");
    EXPECT_FALSE(fs::exists(logs / "launcher.log.2"));
}

// Another program holds launcher.log.1 without delete sharing: one WARN
// record says why, and the start goes on with a fresh log.
TEST(WineEarlierFiles, AFileThatCannotBeMovedIsOneWarningAndTheStartGoesOn) {
    const Tree t = make_tree("earlier/held");
    run(t, {.args = {"first"}});
    run(t, {.args = {"second"}});
    const fs::path release = t.root / "release";
    std::thread holder([&] {
        run_exe(windows_build_dir() / "tests" / "earlier_files" / "hold_file.exe",
                {.args = {windows_path(numbered(t.log_file(), 1)), windows_path(release)}});
    });
    ASSERT_TRUE(poll([&] { return fs::exists(release.string() + ".held"); }, 60s));
    const RunResult r = run(t, {.args = {"third"}});
    write_file(release, "");
    holder.join();

    EXPECT_EQ(r.status, 0);
    const auto entries = log_entries(r.log);
    ASSERT_EQ(entries.size(), 3u) << r.log;
    const std::string warning = "WARN launcherwindows - earlier log files are not kept: " +
                                windows_path(numbered(t.log_file(), 1)) + " cannot be moved to " +
                                windows_path(numbered(t.log_file(), 2)) + ": ";
    EXPECT_EQ(entries[0].rfind(warning, 0), 0u) << entries[0];
    EXPECT_TRUE(entries[0].ends_with("(os error 32)")) << entries[0];
    EXPECT_EQ(entries[2], entry_line("third"));
    EXPECT_NE(read_file(numbered(t.log_file(), 1)).find("Entry:: first"), std::string::npos);
}
