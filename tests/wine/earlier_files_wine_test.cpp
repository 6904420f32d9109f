// Earlier starts' log, trace and console files kept beside the latest, under
// Wine against the real launcher.exe.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <sys/stat.h>
#include <string>
#include <thread>
#include <vector>

#include "harness.h"

using namespace wine_harness;
using namespace std::chrono_literals;

namespace {

fs::path numbered(const fs::path& file, int n) { return n == 0 ? file : fs::path(file.string() + "." + std::to_string(n)); }

std::string entry_line(const std::string& word) { return "INFO launcherwindows - Entry:: " + word + "\n"; }

// Another program holding a file without delete sharing, or (with --lock)
// the lock of a log folder, until release() is called.
class Holder {
public:
    Holder(const std::vector<std::string>& args, const fs::path& release) : release_(release) {
        thread_ = std::thread([args, release] {
            std::vector<std::string> a = args;
            a.push_back(windows_path(release));
            run_exe(windows_build_dir() / "tests" / "earlier_files" / "hold_file.exe", {.args = a});
        });
        held_ = poll([&] { return fs::exists(release.string() + ".held"); }, 60s);
    }
    ~Holder() { release(); }
    bool held() const { return held_; }
    void release() {
        if (!thread_.joinable()) return;
        write_file(release_, "");
        thread_.join();
    }

private:
    fs::path release_;
    std::thread thread_;
    bool held_ = false;
};

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

// Another program holds an earlier log, trace or console output without
// delete sharing (a log viewer, a scanner, a backup): the shift stops there
// with one WARN record, and the previous start's file is written on at its
// end, never emptied nor written over.
TEST(WineEarlierFiles, AHeldEarlierFileKeepsThePreviousStartsRecordsWithOneWarning) {
    for (const std::string held : {"launcher.log", "launcher-cpp.log", "ormic-console.log"}) {
        SCOPED_TRACE(held);
        const Tree t = make_tree("earlier/held");
        install_java_runtime(t.root);
        write_file(t.root / "jre" / "bin" / "client" / "jvm_stub.cfg", "print=1\n");
        const fs::path logs = t.root / "launcher-logs";
        fs::create_directories(logs);
        // Without standard handles, as from a shortcut: the output goes into the console file.
        const auto start = [&] {
            return run_exe(windows_build_dir() / "tests" / "console" / "start_without_handles.exe",
                           {.args = {windows_path(t.exe), "ormic"}, .cwd = t.root})
                .status;
        };
        start();
        const auto one_start = log_entries(read_file(t.log_file()));
        const std::string one_trace = read_file(logs / "launcher-cpp.log");
        const std::string one_output = read_file(logs / "ormic-console.log");
        ASSERT_NE(one_output, "");
        start();
        Holder holder({windows_path(numbered(logs / held, 1))}, t.root / "release");
        ASSERT_TRUE(holder.held());
        EXPECT_EQ(start(), 0);
        holder.release();

        // The log under the installation directory, the others under the working directory.
        const std::string named = held == "launcher.log" ? windows_path(logs / held) : ".\\launcher-logs\\" + held;
        const std::string warning = "WARN launcherwindows - earlier log files are not kept: " + named +
                                    ".1 cannot be moved to " + named + ".2: ";
        std::vector<std::string> entries = log_entries(read_file(t.log_file()));
        const auto warned = std::find_if(entries.begin(), entries.end(),
                                         [&](const std::string& e) { return e.starts_with("WARN"); });
        ASSERT_NE(warned, entries.end()) << testing::PrintToString(entries);
        EXPECT_EQ(warned->rfind(warning, 0), 0u) << *warned;
        EXPECT_TRUE(warned->ends_with("(os error 32)")) << *warned;
        entries.erase(warned);
        // The previous start's records, then this one's.
        const auto twice = [](const std::vector<std::string>& v) {
            std::vector<std::string> both = v;
            both.insert(both.end(), v.begin(), v.end());
            return both;
        };
        EXPECT_EQ(entries, held == "launcher.log" ? twice(one_start) : one_start);
        EXPECT_EQ(read_file(logs / "launcher-cpp.log"), held == "launcher-cpp.log" ? one_trace + one_trace : one_trace);
        EXPECT_EQ(read_file(logs / "ormic-console.log"),
                  held == "ormic-console.log" ? one_output + one_output : one_output);
        EXPECT_FALSE(fs::exists(numbered(logs / held, 2)));
    }
}

// Another start holds the folder's lock, which is named by the folder
// however its path is spelt (here in capitals): a Java start waits for it,
// and moves its files once it is free; when it is not free within a few
// seconds, the start moves nothing and writes its log and its trace on after
// the previous start's, with one WARN record for them both.
TEST(WineEarlierFiles, AStartWaitsForTheFoldersLockAndWritesOnAfterItsWait) {
    for (const bool released : {true, false}) {
        SCOPED_TRACE(released ? "released after a second" : "held all along");
        const Tree t = make_tree("earlier/locked");
        install_java_runtime(t.root);
        fs::create_directories(t.root / "launcher-logs");
        const RunOptions ormad{.args = {"ormad"}, .env = {{"JVM_STUB_MAIN", "return"}}};
        ASSERT_EQ(run(t, ormad).status, 0);
        const auto first = log_entries(read_file(t.log_file()));
        const fs::path trace = t.root / "launcher-logs" / "launcher-cpp.log";
        const std::string first_trace = read_file(trace);
        std::string folder = windows_path(t.log_file().parent_path());
        std::transform(folder.begin(), folder.end(), folder.begin(), [](unsigned char c) { return std::toupper(c); });
        Holder holder({"--lock", folder}, t.root / "release");
        ASSERT_TRUE(holder.held());
        std::thread release;
        if (released) release = std::thread([&] {
            std::this_thread::sleep_for(1s);
            holder.release();
        });
        const RunResult r = run(t, ormad);
        if (release.joinable()) release.join();
        holder.release();

        EXPECT_EQ(r.status, 0);
        std::vector<std::string> entries = log_entries(r.log);
        if (released) {
            EXPECT_EQ(entries, first);
            EXPECT_EQ(log_entries(read_file(numbered(t.log_file(), 1))), first);
            EXPECT_EQ(read_file(numbered(trace, 1)), first_trace);
            continue;
        }
        ASSERT_EQ(entries.size(), 2 * first.size() + 1) << r.log;
        EXPECT_EQ(std::vector<std::string>(entries.begin(), entries.begin() + first.size()), first);
        const std::string log = windows_path(t.log_file());
        const std::string warning =
            "WARN launcherwindows - earlier log files are not kept: " + log + " cannot be moved to " + log + ".1: ";
        EXPECT_EQ(entries[first.size()].rfind(warning, 0), 0u) << entries[first.size()];
        EXPECT_TRUE(entries[first.size()].ends_with("(os error 258)")) << entries[first.size()];
        entries.erase(entries.begin(), entries.begin() + first.size() + 1);
        EXPECT_EQ(entries, first);
        EXPECT_EQ(read_file(trace), first_trace + first_trace);
        EXPECT_FALSE(fs::exists(numbered(t.log_file(), 1)));
        EXPECT_FALSE(fs::exists(numbered(trace, 1)));
    }
}

// Four starts at the same moment: one at a time moves the folder's files, so
// each start's records are kept in a file of their own, before the six
// latest of the ten files that were there.
TEST(WineEarlierFiles, StartsAtTheSameMomentEachKeepTheirRecords) {
    const Tree t = make_tree("earlier/same-moment");
    for (int n = 0; n <= 9; ++n) write_file(numbered(t.log_file(), n), "planted " + std::to_string(n));
    std::vector<std::thread> starts;
    for (int k = 0; k < 4; ++k) starts.emplace_back([&t, k] { run(t, {.args = {"same" + std::to_string(k)}}); });
    for (auto& s : starts) s.join();
    std::vector<std::string> started;
    for (int n = 0; n < 4; ++n) {
        const auto entries = log_entries(read_file(numbered(t.log_file(), n)));
        ASSERT_EQ(entries.size(), 2u) << n << testing::PrintToString(entries);
        started.push_back(entries[1]);
    }
    std::sort(started.begin(), started.end());
    EXPECT_EQ(started, (std::vector<std::string>{entry_line("same0"), entry_line("same1"), entry_line("same2"),
                                                 entry_line("same3")}));
    for (int n = 4; n <= 9; ++n) EXPECT_EQ(read_file(numbered(t.log_file(), n)), "planted " + std::to_string(n - 4));
    EXPECT_FALSE(fs::exists(numbered(t.log_file(), 10)));
}

namespace {

// Stops and removes the service and ends its process, whatever the test did.
struct ServiceCleanUp {
    fs::path exe;
    ~ServiceCleanUp() {
        if (!query().installed) return;
        run_tool({"sc", "stop", "vesmors"});
        poll([&] { return processes_of(exe).empty(); }, 30s);
        for (const pid_t pid : processes_of(exe)) kill(pid, SIGKILL);
        run_tool({"sc", "delete", "vesmors"});
        wait_until_removed();
    }
};

}  // namespace

// The steady state of an installation: the service, installed from a folder
// without "vesmors", runs for weeks while desktop starts come every day into
// the same log folder. Its log and trace move along with it to .9 and stay
// there while it writes; each later start drops the oldest file nobody holds,
// so every start keeps its records in files of their own, with no WARN.
TEST(WineEarlierFilesWithTheService, ARunningServiceKeepsItsWholeLifeInOneFileBesideTwelveDesktopStarts) {
    const Tree t = make_tree("earlier/service");
    install_java_runtime(t.root);
    fs::create_directories(t.root / "launcher-logs");
    const fs::path client = t.root / "jre" / "bin" / "client";
    write_file(client / "jvm_stub.cfg", "main=block\n");
    const ServiceCleanUp clean_up{t.exe};
    ASSERT_EQ(run(t, {.args = {"vesmors", "install"}}).status, 0);
    run_tool({"sc", "start", "vesmors"});
    ASSERT_EQ(wait_for_state(4).state, 4) << read_file(t.log_file());
    ASSERT_TRUE(poll([&] { return read_file(client / "jvm_stub_record.txt").find("main called") != std::string::npos; },
                     60s));

    // The service's own files, whatever their names become.
    const fs::path logs = t.root / "launcher-logs";
    const auto inode = [](const fs::path& p) {
        struct stat s {};
        return stat(p.c_str(), &s) == 0 ? s.st_ino : 0;
    };
    const ino_t service_log = inode(t.log_file()), service_trace = inode(logs / "launcher-cpp.log");
    ASSERT_NE(service_trace, 0u);
    constexpr int kStarts = 12;
    for (int k = 1; k <= kStarts; ++k) {
        ASSERT_EQ(run(t, {.args = {"ormad"}, .env = {{"JVM_STUB_MAIN", "return"}}}).status, 0) << k;
    }
    run_tool({"sc", "stop", "vesmors"});
    ASSERT_EQ(wait_for_state(1, 60s).state, 1);
    ASSERT_TRUE(poll([&] { return processes_of(t.exe).empty(); }, 30s));

    EXPECT_EQ(inode(numbered(t.log_file(), 9)), service_log);
    EXPECT_EQ(inode(numbered(logs / "launcher-cpp.log", 9)), service_trace);
    // The service's records, from its start to its stop, in the one file.
    const auto service = log_messages(read_file(numbered(t.log_file(), 9)));
    ASSERT_FALSE(service.empty());
    EXPECT_EQ(service[1], "INFO Entry:: vesmors\n");
    EXPECT_TRUE(contains(service, "INFO stop event received")) << testing::PrintToString(service);
    // The latest start alone in launcher.log, and each earlier one in a file of its own.
    for (int n = 0; n <= 8; ++n) {
        SCOPED_TRACE(n);
        const auto messages = log_messages(read_file(numbered(t.log_file(), n)));
        EXPECT_EQ(std::count(messages.begin(), messages.end(), "INFO Entry:: ormad\n"), 1);
        for (const auto& m : messages) EXPECT_FALSE(m.starts_with("WARN") || m.starts_with("ERROR")) << m;
        EXPECT_TRUE(fs::exists(numbered(logs / "launcher-cpp.log", n)));
    }
    EXPECT_FALSE(fs::exists(numbered(t.log_file(), 10)));
    EXPECT_FALSE(fs::exists(numbered(logs / "launcher-cpp.log", 10)));
}
