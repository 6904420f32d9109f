// launcher.exe under Wine given input at the edges: elements as long as a
// Windows command line allows, empty ones, a log location it cannot use and
// libraries that are not libraries.
#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

#include "../doubles/enrolclientsvc/record_format.h"
#include "harness.h"

using namespace wine_harness;

namespace {

const std::string kUsage = "usage:\nlauncher <app>\n    app can be ormic, ormad, zentu, vesmors.\n";

std::string hex(const std::string& bytes) {
    std::string out;
    char buf[3];
    for (unsigned char b : bytes) {
        std::snprintf(buf, sizeof buf, "%02x", b);
        out += buf;
    }
    return out;
}

// A Windows command line holds at most 32,767 UTF-16 units with the program
// path; this leaves room for the path of a tree under /tmp.
constexpr std::size_t kNearLimit = 32000;

bool ends_with(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

TEST(WineBadInput, ElementNearTheCommandLineLimitIsLoggedWhole) {
    const Tree t = make_tree("soak/long-word");
    std::string word(kNearLimit, 'w');
    word.replace(0, 5, "head-");
    word.replace(word.size() - 5, 5, "-tail");
    const RunResult r = run(t, {.args = {word}});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(ends_with(r.out, kUsage)) << r.out.substr(0, 200);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(log_entries(r.log), (std::vector<std::string>{"INFO launcherwindows - using launcher executable for startup",
                                                        "INFO launcherwindows - Entry:: " + word + "\n"}));
}

TEST(WineBadInput, LongNonAsciiArgumentReachesZentuAsItsExactBytes) {
    const Tree t = make_tree("soak/entry-long");
    fs::copy_file(windows_build_dir() / "tests" / "doubles" / "enrolclientsvc" / "libenrolclientsvc.dll",
                  t.root / "bin" / "libenrolclientsvc.dll");
    // 30,000 UTF-16 units, 60,000 UTF-8 bytes: a one-, a two- and a three-byte letter.
    std::string argument;
    for (int i = 0; i < 10000; ++i) argument += "a\xC3\xA9\xE2\x98\x83";
    const RunResult r = run(t, {.args = {"zentu", argument}});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const auto record = split_lines(read_file(t.root / "bin" / enrolclientsvc::kRecordFile));
    ASSERT_EQ(record.size(), 3u);
    const std::string expected = "call argument=" + hex(argument) + " length=" + std::to_string(argument.size()) + " ";
    EXPECT_EQ(record[1].rfind(expected, 0), 0u) << record[1].substr(0, 200);
}

TEST(WineBadInput, EmptyElementsAreAnUnknownWord) {
    const Tree t = make_tree("soak/empty");
    for (const std::vector<std::string>& args : {std::vector<std::string>{""}, {"", ""}, {"", "ormic"}}) {
        const RunResult r = run(t, {.args = args});
        EXPECT_EQ(r.status, 0) << args.size();
        EXPECT_TRUE(ends_with(r.out, "Starting launcher" + kUsage)) << r.out;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(log_entries(r.log), (std::vector<std::string>{"INFO launcherwindows - using launcher executable for startup",
                                                            "INFO launcherwindows - Entry:: \n"}))
            << args.size() << "\n" << r.log;
    }
}

TEST(WineBadInput, AFileWhereTheLogFolderBelongsLeavesTheProgramRunning) {
    const Tree t = make_tree("soak/no-log");
    write_file(t.root / "launcher-logs", "a file, not a folder\n");
    RunResult r = run(t, {.args = {"Ormad"}});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(ends_with(r.out, "Starting launcher" + kUsage)) << r.out;
    EXPECT_NE(r.err.find("launcher log: cannot open"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("launcher.log"), std::string::npos) << r.err;

    // A failing start still fails as it would with a log.
    r = run(t, {.args = {"-ormic"}});
    EXPECT_EQ(r.status, 255);  // -1
    EXPECT_NE(r.err.find("launcher log: cannot open"), std::string::npos) << r.err;
    EXPECT_EQ(read_file(t.root / "launcher-logs"), "a file, not a folder\n");
}

TEST(WineBadInput, JvmLibraryThatIsATextFileFailsTheJavaStart) {
    const Tree t = make_tree("soak/text-jvm");
    const fs::path jvm = t.root / "jre" / "bin" / "client" / "jvm.dll";
    write_file(jvm, "not a library\r\n");
    fs::create_directories(t.root / "launcher-logs");
    const RunResult r = run(t, {.args = {"-ormic"}});
    EXPECT_EQ(r.status, 255);  // -1, not a crash
    const auto m = log_messages(r.log);
    ASSERT_GE(m.size(), 2u) << r.log;
    EXPECT_EQ(m[m.size() - 2], "ERROR error while starting up -ormic");
    // The cause itself is the Java start tests' matter.
    EXPECT_EQ(m.back().rfind("ERROR Application error: \"the Java start of ormic failed: ", 0), 0u) << m.back();
    const std::string trace = read_file(t.root / "launcher-logs" / "launcher-cpp.log");
    EXPECT_NE(trace.find("Unable to load JVM at "), std::string::npos) << trace;
    EXPECT_EQ(read_file(jvm), "not a library\r\n");
}

// Wine's service control manager, cycle after cycle from one tree.
TEST(WineServiceSoak, InstallStartStopRemoveCyclesLeaveNothingBehind) {
    constexpr int kCycles = 20;
    ASSERT_FALSE(query().installed) << "a vesmors service is left from elsewhere";
    const Tree t = make_tree("soak-svc/vesmors cycles");
    const fs::path client = t.root / "jre" / "bin" / "client";
    install_java_runtime(t.root);
    fs::create_directories(t.root / "launcher-logs");
    write_file(client / "jvm_stub.cfg", "main=block\n");
    const fs::path jvm_record = client / "jvm_stub_record.txt";
    const std::string svc = "INFO launcherwindows::vesmors_service - ";

    for (int cycle = 0; cycle < kCycles; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        const RunResult installed = run(t, {.args = {"install"}});
        ASSERT_EQ(installed.status, 0) << installed.out << installed.log;
        fs::remove(jvm_record);
        run_tool({"sc", "start", "vesmors"});
        ServiceState st = wait_for_state(4, std::chrono::seconds(60));
        ASSERT_EQ(st.state, 4) << st.text << read_file(t.log_file());
        ASSERT_TRUE(poll([&] { return contains(lines(read_file(jvm_record)), "main called args=null"); },
                         std::chrono::seconds(60)))
            << read_file(t.log_file());

        run_tool({"sc", "stop", "vesmors"});
        st = wait_for_state(1, std::chrono::seconds(30));
        ASSERT_EQ(st.state, 1) << st.text;
        EXPECT_EQ(st.win32_exit_code, 0u);
        ASSERT_TRUE(poll([&] { return processes_of(t.exe).empty(); }, std::chrono::seconds(30)));

        // The service run's log: whole records, started and stopped once.
        const std::string log = read_file(t.log_file());
        ASSERT_TRUE(ends_with(log, "\r\n\n")) << log;
        const auto entries = log_entries(log);
        ASSERT_GE(entries.size(), 4u) << log;
        EXPECT_EQ(entries.front(), "INFO launcherwindows - starting vesmors windows service");
        EXPECT_EQ(entries[entries.size() - 3], svc + "stop event received");
        EXPECT_EQ(entries[entries.size() - 2], svc + "setting status to stopped and stopping actor system....");
        EXPECT_EQ(entries.back(),
                  "INFO launcherwindows::init - the Java application vesmors ended the process with System.exit(0)");
        for (const auto& e : entries) EXPECT_EQ(e.rfind("INFO ", 0), 0u) << e;

        const RunResult removed = run(t, {.args = {"remove"}});
        ASSERT_EQ(removed.status, 0) << removed.out << removed.log;
        ASSERT_TRUE(wait_until_removed());
    }
    EXPECT_TRUE(processes_of(t.exe).empty());
    EXPECT_FALSE(query().installed);
    EXPECT_NE(run_tool({"reg", "query", "HKLM\\System\\CurrentControlSet\\Services\\vesmors"}).status, 0);
}
