// What the started applications print, under Wine, when launcher.exe is
// started as a shortcut starts it: with no standard handles.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "harness.h"

using namespace wine_harness;

namespace {

// Runs the tree's launcher.exe through a starter that passes no handles, or
// only the one named by give ("--give=out", "--give=err").
RunResult run_without_handles(const Tree& t, RunOptions options, const std::string& give = "") {
    options.args.insert(options.args.begin(), windows_path(t.exe));
    if (!give.empty()) options.args.insert(options.args.begin(), give);
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

// Only the missing stream goes to the file; the given one stays where it was.
TEST(WineConsoleOutput, WithOneHandleGivenOnlyTheOtherStreamGoesToTheFile) {
    const std::string out = "runtime: standard output\nSystem.out\n" + kNativesOutput;
    const std::string err = "runtime: standard error\nSystem.err\n";
    for (const bool output_given : {true, false}) {
        const Tree t = java_tree(output_given ? "console/out-given" : "console/err-given", "main=natives\nprint=1\n");
        const RunResult r = run_without_handles(t, {.args = {"ormic"}}, output_given ? "--give=out" : "--give=err");
        EXPECT_EQ(r.status, 0) << r.log;
        EXPECT_EQ(output_given ? r.out : r.err, output_given ? windows_path(t.exe) + "\nStarting launcher" + out : err);
        EXPECT_EQ(output_given ? r.err : r.out, "");
        EXPECT_EQ(read_file(console_file(t.root, "ormic")), output_given ? err : out);
    }
}

// zentu keeps the caller's working directory, here one without launcher-logs.
TEST(WineConsoleOutput, AFileThatCannotBeMadeIsOneWarningAndTheStartGoesOn) {
    const Tree t = make_tree("console/no-folder");
    const fs::path work = t.root / "work";
    fs::create_directories(work);
    fs::copy_file(windows_build_dir() / "tests" / "doubles" / "enrolclientsvc" / "libenrolclientsvc.dll",
                  t.root / "bin" / "libenrolclientsvc.dll");
    const RunResult r = run_without_handles(t, {.args = {"zentu", "x"}, .cwd = work});
    EXPECT_EQ(r.status, 0) << r.log;
    const auto m = log_messages(r.log);
    const auto warning = std::find_if(m.begin(), m.end(), [](const std::string& s) { return s.starts_with("WARN"); });
    ASSERT_NE(warning, m.end()) << r.log;
    EXPECT_EQ(warning->rfind("WARN the console output of zentu is not kept: ", 0), 0u) << *warning;
    EXPECT_TRUE(warning->ends_with(" (os error 3)")) << *warning;
    EXPECT_EQ(std::count_if(m.begin(), m.end(), [](const std::string& s) { return s.starts_with("WARN"); }), 1);
    EXPECT_NE(read_file(t.root / "bin" / "enrolclientsvc_record.txt").find("call argument="), std::string::npos);
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
