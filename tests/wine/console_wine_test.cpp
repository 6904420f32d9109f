// What the started applications print, under Wine, when launcher.exe is
// started as a shortcut starts it: with no standard handles.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "harness.h"

using namespace wine_harness;

namespace {

// Runs the tree's launcher.exe through a starter that passes no handles.
RunResult run_without_handles(const Tree& t, RunOptions options) {
    options.args.insert(options.args.begin(), windows_path(t.exe));
    if (options.cwd.empty()) options.cwd = t.root;
    RunResult r = run_exe(windows_build_dir() / "tests" / "console" / "start_without_handles.exe", options);
    r.log = read_file(t.log_file());
    return r;
}

fs::path console_file(const fs::path& dir, const std::string& app) {
    return dir / "launcher-logs" / (app + "-console.log");
}

Tree java_tree(const std::string& name, const std::string& jvm_config) {
    const Tree t = make_tree(name);
    install_java_runtime(t.root);
    fs::create_directories(t.root / "launcher-logs");
    write_file(t.root / "jre" / "bin" / "client" / "jvm_stub.cfg", jvm_config);
    return t;
}

// The stand-in runtime's writes through its C runtime and the standard handles.
const std::string kRuntimeOutput = "runtime: standard output\nruntime: standard error\nSystem.out\nSystem.err\n";
// The cipher natives' progress lines, written by launcher.exe's own C runtime.
const std::string kNativesOutput =
    "  encrypt in cpp\n  encrypt in cpp\n    Error - plaintext length (20) is not a multiple of 16\n"
    "getting encrypted distribution key in cpp\ngetting encrypted distribution key in cpp\n";

}  // namespace

TEST(WineConsoleOutput, WithoutHandlesEverythingPrintedLandsInOrderInTheApplicationsFile) {
    const Tree t = java_tree("console/ormic", "main=natives\nprint=1\n");
    write_file(console_file(t.root, "ormic"), "an earlier start\n");
    const RunResult r = run_without_handles(t, {.args = {"ormic"}});
    EXPECT_EQ(r.status, 0) << r.log;
    EXPECT_EQ(read_file(console_file(t.root, "ormic")), kRuntimeOutput + kNativesOutput);
    EXPECT_EQ(r.out + r.err, "");
    for (const auto& m : log_messages(r.log)) EXPECT_NE(m.substr(0, 4), "WARN") << m;

    // The caller's own output is used as before, and no file is made for it.
    const Tree kept = java_tree("console/kept", "main=natives\nprint=1\n");
    const RunResult k = run(kept, {.args = {"ormic"}});
    EXPECT_EQ(k.status, 0);
    EXPECT_EQ(k.out, windows_path(kept.exe) + "\nStarting launcherruntime: standard output\nSystem.out\n" + kNativesOutput);
    EXPECT_EQ(k.err, "runtime: standard error\nSystem.err\n");
    EXPECT_FALSE(fs::exists(console_file(kept.root, "ormic")));
}

TEST(WineConsoleOutput, AFileThatCannotBeMadeIsOneWarningAndTheStartGoesOn) {
    const Tree t = make_tree("console/no-folder");
    const fs::path work = t.root / "work";
    install_java_runtime(work);
    const RunResult r = run_without_handles(t, {.args = {"ormad"}, .cwd = work});
    EXPECT_EQ(r.status, 0) << r.log;
    const auto m = log_messages(r.log);
    ASSERT_GE(m.size(), 2u) << r.log;
    EXPECT_EQ(m[m.size() - 2], "INFO Start java application ormad");
    EXPECT_EQ(m.back().rfind("WARN the console output of ormad is not kept: ", 0), 0u) << m.back();
    EXPECT_TRUE(m.back().ends_with(" (os error 3)")) << m.back();
    EXPECT_NE(read_file(work / "jre" / "bin" / "client" / "jvm_stub_record.txt").find("main returned"),
              std::string::npos);
}

// Also when the library has closed its standard output first: standard
// error has a handle of its own.
TEST(WineConsoleOutput, TheNativeLibrarysStandardErrorLandsInZentusFile) {
    for (const bool close_output : {false, true}) {
        SCOPED_TRACE(close_output);
        const Tree t = make_tree("console/zentu");
        fs::create_directories(t.root / "launcher-logs");
        fs::copy_file(windows_build_dir() / "tests" / "doubles" / "enrolclientsvc" / "libenrolclientsvc.dll",
                      t.root / "bin" / "libenrolclientsvc.dll");
        std::map<std::string, std::string> env = {{"ENROLCLIENTSVC_STDERR", "panic: a goroutine"}};
        if (close_output) env["ENROLCLIENTSVC_CLOSE_STDOUT"] = "1";
        const RunResult r = run_without_handles(t, {.args = {"zentu", "x"}, .env = env});
        EXPECT_EQ(r.status, 0) << r.log;
        EXPECT_EQ(read_file(console_file(t.root, "zentu")), "panic: a goroutine\n");
    }
}
