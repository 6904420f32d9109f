// The vesmors service against Wine's service control manager: the real
// launcher.exe installed from a tree whose path holds a space and "vesmors",
// with the stand-in jvm.dll as its Java runtime.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <regex>
#include <sstream>
#include <thread>
#include <unistd.h>

#include "harness.h"
#include "init/classpath.h"

using namespace wine_harness;
using namespace std::chrono_literals;

namespace {

const std::string kUsage = "usage:\nlauncher <app>\n    app can be ormic, ormad, zentu, vesmors.\n";
const std::string kServiceKey = "HKLM\\System\\CurrentControlSet\\Services\\vesmors";
const std::string kSvc = " launcherwindows::vesmors_service - ";
const std::string kMain = " launcherwindows - ";

// utime + stime in clock ticks.
long cpu_ticks(pid_t pid) {
    const std::string stat = read_file("/proc/" + std::to_string(pid) + "/stat");
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(stat.substr(close + 2));
    std::string f;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> f; ++i) {
        if (i == 14) utime = std::stol(f);
        if (i == 15) stime = std::stol(f);
    }
    return utime + stime;
}

// A tree with the stand-in JVM configured as the test asks.
struct ServiceTree {
    Tree tree;
    fs::path client;
    ServiceTree(const std::string& name, const std::string& jvm_config) : tree(make_tree(name)) {
        client = tree.root / "jre" / "bin" / "client";
        install_java_runtime(tree.root);
        fs::create_directories(tree.root / "launcher-logs");
        write_file(client / "jvm_stub.cfg", jvm_config);
    }
    std::vector<std::string> recorded() const { return lines(read_file(client / "jvm_stub_record.txt")); }
    std::vector<std::string> records() const { return log_entries(read_file(tree.log_file())); }
    RunResult launcher(std::vector<std::string> args) const { return run(tree, {.args = std::move(args)}); }
};

// The service's values in the registry, by name.
std::map<std::string, std::string> registry_values() {
    std::map<std::string, std::string> values;
    for (const auto& l : lines(run_tool({"reg", "query", kServiceKey}).out)) {
        std::smatch m;
        if (std::regex_match(l, m, std::regex(R"(\s+(\S+)\s+REG_\w+\s+(.*))"))) values[m[1]] = m[2];
    }
    return values;
}

std::string startup_lines(const Tree& t) { return windows_path(t.exe) + "\nStarting launcher"; }

// Leaves no service and no service process behind, whatever a test did.
void clean_up() {
    if (query().installed) {
        run_tool({"sc", "stop", "vesmors"});
        const fs::path base = trees_base() / "svc";
        poll([&] { return query().state != 4; }, 15s);
        for (const auto& tree : fs::exists(base) ? fs::recursive_directory_iterator(base)
                                                 : fs::recursive_directory_iterator()) {
            if (tree.path().filename() != "launcher.exe") continue;
            poll([&] { return processes_of(tree.path()).empty(); }, 10s);
            for (const pid_t pid : processes_of(tree.path())) kill(pid, SIGKILL);
        }
        run_tool({"sc", "delete", "vesmors"});
        wait_until_removed();
    }
}

class WineService : public testing::Test {
protected:
    void SetUp() override { clean_up(); }
    void TearDown() override { clean_up(); }

    // Installs from the tree (invocation-name form) and starts the service
    // with the given tool, waiting for the Java server's main to run.
    void install_and_start(const ServiceTree& s, const std::vector<std::string>& start_command) {
        const RunResult installed = s.launcher({"install"});
        ASSERT_EQ(installed.status, 0) << installed.out << installed.log;
        run_tool(start_command);
        const ServiceState st = wait_for_state(4);
        ASSERT_EQ(st.state, 4) << st.text << read_file(s.tree.log_file());
        ASSERT_TRUE(poll([&] { return contains(s.recorded(), "main called args=null"); }, 60s))
            << read_file(s.tree.log_file());
    }
};

const std::vector<std::string> kStartedLog = {
    "INFO" + kMain + "starting vesmors windows service",
    "INFO" + kSvc + "Inside run method vesmors",
    "INFO" + kSvc + "starting the vesmors actor.....",
    "INFO" + kSvc + "L1_HOME set to .\\vesmor\\l1",
    "INFO" + kSvc + "VESMORS path set to .\\vesmor\\l1\\bin;.\\jre\\bin",
    "INFO" + kSvc + "LD_LIBRARY_PATH set to .\\vesmor\\l1\\bin",
    "INFO launcherwindows::init - Start java application vesmors",
};
const std::string kStopping = "INFO" + kSvc + "setting status to stopped and stopping actor system....";
const std::string kExited = "launcherwindows::init - the Java application vesmors ended the process with System.exit(";
const std::string kExitedWithZero = "INFO " + kExited + "0)";

// The stand-in's record of the creation: the vesmors record's options with
// the class path last, then the main class of the server.
const std::vector<std::string> kVesmorsOptions = {
    "-verbose:jni,class",
    "-Djava.ext.dirs=.\\vesmor\\l1\\bin;.\\vesmor\\l1;.\\jre\\lib\\ext",
    "-Djava.library.path=.\\vesmor\\l1\\bin;.\\vesmor\\l1;.\\jre\\lib",
    "-Xshare:auto",
    "-Xverify:none",
    "-XX:MaxHeapFreeRatio=5",
    "-XX:MinHeapFreeRatio=5",
    "-Xms32m",
    "-Xmx512m",
    "-Djavax.net.ssl.trustStoreType=WINDOWS-ROOT",
};
void expect_vesmors_creation(const std::vector<std::string>& recorded) {
    std::vector<std::string> expected = {"create version=0x00010008 nOptions=13 ignoreUnrecognized=0"};
    for (std::size_t i = 0; i < kVesmorsOptions.size(); ++i) {
        expected.push_back("option[" + std::to_string(i) + "]=" + kVesmorsOptions[i]);
    }
    expected.push_back("option[10]=" + launcherwindows::init::build_class_path_option("vesmors").value());
    expected.push_back("option[11]=exit extraInfo=set");
    expected.push_back("option[12]=abort extraInfo=set");
    ASSERT_GE(recorded.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(recorded.begin(), recorded.begin() + 14), expected);
    EXPECT_TRUE(contains(recorded, "FindClass=tolvan/vesmor/server/ServiceMain"));
    EXPECT_TRUE(contains(recorded, "GetStaticMethodID=tolvan/vesmor/server/ServiceMain.main([Ljava/lang/String;)V"));
}

std::vector<std::string> started_log_and(std::vector<std::string> tail) {
    std::vector<std::string> all = kStartedLog;
    all.insert(all.end(), tail.begin(), tail.end());
    return all;
}

}  // namespace

TEST_F(WineService, InstallRegistersTheQuotedPathAndASecondInstallIsRefused) {
    const ServiceTree s("svc/vesmors tree/install", "main=block\n");
    RunResult r = s.launcher({"install"});
    EXPECT_EQ(r.status, 0) << r.log;
    // Windows' quoted form: each backslash doubled.
    std::string quoted_path;
    for (const char c : windows_path(s.tree.exe)) quoted_path += c == '\\' ? std::string("\\\\") : std::string(1, c);
    EXPECT_EQ(r.out, startup_lines(s.tree) + "before service manager\nOk(\"" + quoted_path + "\")\n");
    EXPECT_EQ(r.err, "");
    const std::string command_line = "\"" + windows_path(s.tree.exe) + "\" start";
    EXPECT_EQ(log_entries(r.log),
              (std::vector<std::string>{"INFO" + kMain + "starting vesmors windows service",
                                        "INFO" + kMain + "going to call install for vesmor service",
                                        "INFO" + kMain + "the vesmors service starts with the command line " +
                                            command_line}));

    auto values = registry_values();
    EXPECT_EQ(values["ImagePath"], command_line);
    EXPECT_EQ(values["PreshutdownTimeout"], "0x61a8");  // 25 s: the stop's bound and a little
    EXPECT_EQ(values["DisplayName"], "Halvora VESMOR Service");
    EXPECT_EQ(values["Start"], "0x2");
    EXPECT_EQ(values["Type"], "0x10");
    EXPECT_EQ(values["ErrorControl"], "0x1");
    EXPECT_EQ(values["ObjectName"], "LocalSystem");
    EXPECT_EQ(values.count("DependOnService") + values.count("Group") + values.count("Description"), 0u);
    EXPECT_EQ(query().state, 1);  // installed, not started

    // Again, in both forms: the existing entry stays as it was.
    r = s.launcher({"-i"});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out, startup_lines(s.tree) + "before service manager\nOk(\"" + quoted_path + "\")\n");
    auto rec = log_entries(r.log);
    ASSERT_FALSE(rec.empty());
    EXPECT_EQ(rec.back().rfind("ERROR" + kMain + "Application error : Winapi(1073: ", 0), 0u) << rec.back();

    const Tree other = make_tree("svc/plain-install");
    r = run(other, {.args = {"vesmors", "--install"}});
    EXPECT_EQ(r.status, 0);
    rec = log_entries(r.log);
    ASSERT_FALSE(rec.empty());
    EXPECT_EQ(rec.back().rfind("ERROR" + kMain + "Error while starting vesmors Winapi(1073: ", 0), 0u) << rec.back();
    EXPECT_EQ(registry_values()["ImagePath"], "\"" + windows_path(s.tree.exe) + "\" start");

    // A path without blanks goes in unquoted; without "vesmors" the start needs the word.
    clean_up();
    r = run(other, {.args = {"vesmors", "install"}});
    EXPECT_EQ(r.status, 0) << r.log;
    EXPECT_EQ(registry_values()["ImagePath"], windows_path(other.exe) + " vesmors start");
}

// Installed where the path holds no "vesmors" (or "zentu", which takes the
// word "vesmors" as in the service's own folder), the service's start arrives
// with the command word and runs; a remove while the stop waits for the
// server's hooks sends no second request and returns once it is gone.
TEST_F(WineService, InstalledAnywhereItRunsAndARemoveWhileStoppingDeletesIt) {
    for (const char* folder : {"svc/Halvora Suite/anywhere", "svc/zentu apps/anywhere"}) {
        SCOPED_TRACE(folder);
        clean_up();
        const ServiceTree s(folder, "main=block\nhooks=4000\n");
        RunResult r = s.launcher({"vesmors", "install"});
        ASSERT_EQ(r.status, 0) << r.log;
        EXPECT_EQ(registry_values()["ImagePath"], "\"" + windows_path(s.tree.exe) + "\" vesmors start");
        run_tool({"sc", "start", "vesmors"});
        ASSERT_EQ(wait_for_state(4).state, 4) << read_file(s.tree.log_file());
        ASSERT_TRUE(poll([&] { return contains(s.recorded(), "main called args=null"); }, 60s));
        EXPECT_TRUE(contains(s.records(), "INFO" + kSvc + "Inside run method vesmors"));

        run_tool({"sc", "stop", "vesmors"});
        ASSERT_EQ(wait_for_state(3, 10s).state, 3);
        r = s.launcher({"vesmors", "remove"});
        EXPECT_EQ(r.status, 0);
        for (const auto& record : log_entries(r.log)) EXPECT_NE(record.rfind("ERROR", 0), 0u) << record;
        EXPECT_TRUE(contains(s.recorded(), "shutdown hooks ended"));  // the stop ran to its end first
        EXPECT_FALSE(query().installed);
        EXPECT_TRUE(poll([&] { return processes_of(s.tree.exe).empty(); }, 5s));
    }
}

// A Stop asks the server to end as System.exit(0) does; the service reports
// StopPending while its shutdown hooks run, then the exit hook Stopped.
TEST_F(WineService, StartRunsTheServerIdlyAndStopEndsItInOrder) {
    // The server loads a native library of its own by name, found through its
    // PATH, and prints to both streams, which the service manager gave it none of.
    const ServiceTree s("svc/vesmors tree/life", "main=block\nload=l1double.dll\nprint=1\nhooks=4000\n");
    plant_runtime_copies(s.tree.root);
    fs::create_directories(s.tree.root / "vesmor" / "l1" / "bin");
    fs::copy_file(test_jre() / "bin" / "verifydouble.dll", s.tree.root / "vesmor" / "l1" / "bin" / "l1double.dll");
    install_and_start(s, {"sc", "start", "vesmors"});

    EXPECT_EQ(s.records(), kStartedLog);
    const auto rec = s.recorded();
    expect_vesmors_creation(rec);
    EXPECT_TRUE(contains(rec, "cwd=" + windows_path(s.tree.root))) << testing::PrintToString(rec);
    EXPECT_TRUE(contains(rec, "env.L1_HOME=.\\vesmor\\l1"));
    EXPECT_TRUE(contains(rec, "env.PATH=.\\vesmor\\l1\\bin;.\\jre\\bin"));
    EXPECT_TRUE(contains(rec, "env.LD_LIBRARY_PATH=.\\vesmor\\l1\\bin"));
    for (const auto& l : runtime_library_lines(s.tree.root)) EXPECT_TRUE(contains(rec, l)) << l;
    EXPECT_TRUE(contains(rec, "library l1double.dll=" + windows_path(s.tree.root / "vesmor/l1/bin/l1double.dll")));
    const fs::path console = s.tree.root / "launcher-logs" / "vesmors-console.log";
    const std::string printed = "runtime: standard output\nruntime: standard error\nSystem.out\nSystem.err\n";
    EXPECT_TRUE(poll([&] { return read_file(console) == printed; }, 10s)) << read_file(console);

    // A stop waiter that spins would use a whole core here.
    const auto pids = processes_of(s.tree.exe);
    ASSERT_EQ(pids.size(), 1u);
    const long before = cpu_ticks(pids[0]);
    std::this_thread::sleep_for(5s);
    const long used = cpu_ticks(pids[0]) - before;
    EXPECT_LT(used, sysconf(_SC_CLK_TCK) * 5 / 50) << used << " ticks in 5 s";
    EXPECT_EQ(query().state, 4);

    // Another start moves the running service's log aside; the service writes on into it.
    const RunResult other = s.launcher({"other"});
    EXPECT_EQ(log_entries(other.log), (std::vector<std::string>{"INFO" + kMain + "starting vesmors windows service"}));
    const fs::path moved = s.tree.log_file().string() + ".1";

    const RunResult stop = run_tool({"sc", "stop", "vesmors"});
    ServiceState pending = wait_for_state(3, 10s);
    EXPECT_EQ(pending.state, 3) << stop.out << pending.text;
    EXPECT_FALSE(contains(s.recorded(), "shutdown hooks ended"));
    const ServiceState st = wait_for_state(1, 30s);
    EXPECT_EQ(st.state, 1) << stop.out << st.text;
    EXPECT_EQ(st.win32_exit_code, 0u);
    EXPECT_EQ(st.service_exit_code, 0u);
    EXPECT_TRUE(poll([&] { return processes_of(s.tree.exe).empty(); }, 30s));
    EXPECT_EQ(log_entries(read_file(moved)),
              started_log_and({"INFO" + kSvc + "stop event received", kStopping, kExitedWithZero}));
    EXPECT_EQ(s.records(), log_entries(other.log));
    const auto after = s.recorded();
    const auto exit_call = std::find(after.begin(), after.end(), "System.exit(0) from attached");
    EXPECT_EQ(std::vector<std::string>(exit_call, after.end()),
              (std::vector<std::string>{"System.exit(0) from attached", "shutdown hooks started", "shutdown hooks ended",
                                        "exit hook called with 0"}));

    // Remove of a stopped service sends no stop request (it would fail).
    const RunResult removed = s.launcher({"--remove"});
    EXPECT_EQ(removed.status, 0) << removed.log;
    EXPECT_TRUE(wait_until_removed());
}

// Stopped says why: a failed start, main's exception, main's return, the
// server's own System.exit(5), and a Stop whose shutdown hooks never end
// (given up after 20 s).
TEST_F(WineService, AServerThatFailsOrEndsStopsTheServiceWithItsReason) {
    struct Case {
        std::string config;
        bool stop;
        unsigned long win32, specific;
        std::vector<std::string> tail;  // the log's records after the Java start's
    };
    const std::string error = "ERROR" + kSvc + "Application error: \"";
    for (const Case& c :
         {Case{"create=fail\n", false, 1066, 1,
               {error + "the Java start of vesmors failed: JNI_CreateJavaVM returned -1 (JNI_ERR); see launcher-cpp.log\"",
                kStopping}},
          Case{"main=throw\n", false, 1066, 2,
               {error + "the Java application vesmors ended with an uncaught exception: "
                        "java.lang.IllegalStateException: thrown by the stub's main\"",
                kStopping}},
          Case{"main=return\n", false, 0, 0, {"INFO" + kSvc + "vesmors java application ended", kStopping}},
          Case{"main=exit:5\n", false, 1066, 5, {"ERROR " + kExited + "5)"}},
          Case{"main=block\nhooks=hang\n", true, 1053, 0,
               {"INFO" + kSvc + "stop event received", kStopping,
                "ERROR" + kSvc +
                    "the Java server did not end within 20 s of the stop request; the service stops without it"}}}) {
        SCOPED_TRACE(c.config);
        clean_up();
        const ServiceTree s("svc/vesmors tree/ends", c.config);
        if (c.stop) {
            install_and_start(s, {"net", "start", "vesmors"});
            run_tool({"sc", "stop", "vesmors"});
        } else {
            ASSERT_EQ(s.launcher({"install"}).status, 0);
            run_tool({"net", "start", "vesmors"});
        }
        const auto asked = std::chrono::steady_clock::now();
        ServiceState st;
        poll([&] { return (st = query()).state == 1 && processes_of(s.tree.exe).empty(); }, 120s);
        EXPECT_EQ(st.state, 1) << st.text;
        EXPECT_EQ(st.win32_exit_code, c.win32);
        EXPECT_EQ(st.service_exit_code, c.specific);
        if (c.stop) EXPECT_GE(std::chrono::steady_clock::now() - asked, 19s);
        EXPECT_TRUE(processes_of(s.tree.exe).empty());
        EXPECT_EQ(s.records(), started_log_and(c.tail)) << read_file(s.tree.log_file());
    }
}

// An uninstaller deletes the installation's files next: the remove returns
// only once the server's hooks have run and the service is gone.
TEST_F(WineService, RemoveStopsARunningServiceOnceAndReturnsOnceItIsGone) {
    const ServiceTree s("svc/vesmors tree/remove", "main=block\nhooks=4000\n");
    install_and_start(s, {"net", "start", "vesmors"});

    const auto asked = std::chrono::steady_clock::now();
    const RunResult r = s.launcher({"remove"});
    EXPECT_GE(std::chrono::steady_clock::now() - asked, 4s);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(contains(log_entries(r.log), "INFO" + kMain + "going to call uninstall for vesmor service"));
    EXPECT_TRUE(contains(s.recorded(), "shutdown hooks ended"));
    EXPECT_FALSE(query().installed);
    EXPECT_TRUE(poll([&] { return processes_of(s.tree.exe).empty(); }, 5s));
    // The service writes on into its own log, which the remove command moved aside.
    const auto rec = log_entries(read_file(s.tree.log_file().string() + ".1"));
    EXPECT_EQ(std::count(rec.begin(), rec.end(), "INFO" + kSvc + "stop event received"), 1);
    EXPECT_EQ(std::vector<std::string>(rec.end() - 2, rec.end()), (std::vector<std::string>{kStopping, kExitedWithZero}));
}

TEST_F(WineService, RemoveOfAMissingServiceFailsWithItsCodeInBothForms) {
    const ServiceTree s("svc/vesmors tree/missing", "main=block\n");
    RunResult r = s.launcher({"-r"});
    EXPECT_EQ(r.status, 255);
    auto rec = log_entries(r.log);
    ASSERT_EQ(rec.size(), 3u) << r.log;
    EXPECT_EQ(rec[1], "INFO" + kMain + "going to call uninstall for vesmor service");
    EXPECT_EQ(rec[2].rfind("ERROR" + kMain + "Application error : Winapi(1060: ", 0), 0u) << rec[2];

    const Tree plain = make_tree("svc/plain-missing");
    r = run(plain, {.args = {"vesmors", "remove"}});
    EXPECT_EQ(r.status, 0);
    rec = log_entries(r.log);
    ASSERT_FALSE(rec.empty());
    EXPECT_EQ(rec.back().rfind("ERROR" + kMain + "Error while starting vesmors Winapi(1060: ", 0), 0u) << rec.back();
}

TEST_F(WineService, RunWordsFromAConsoleGetTheDispatchersError) {
    const ServiceTree s("svc/vesmors tree/console", "main=block\n");
    for (const char* word : {"start", "--start", "-t", "--service", "-s"}) {
        const RunResult r = s.launcher({word});
        EXPECT_EQ(r.status, 255) << word;
        const auto rec = log_entries(r.log);
        ASSERT_EQ(rec.size(), 3u) << word << r.log;
        EXPECT_EQ(rec[1], "INFO" + kSvc + "Inside run method vesmors");
        EXPECT_EQ(rec[2].rfind("ERROR" + kMain + "Application error : Winapi(1063: ", 0), 0u) << rec[2];
    }
    const RunResult r = run(make_tree("svc/plain-console"), {.args = {"vesmors", "-s"}});
    EXPECT_EQ(r.status, 0);
    const auto rec = log_entries(r.log);
    ASSERT_FALSE(rec.empty());
    EXPECT_EQ(rec.back().rfind("ERROR" + kMain + "Error while starting vesmors Winapi(1063: ", 0), 0u) << rec.back();
    EXPECT_TRUE(s.recorded().empty());  // no worker, no Java
}

TEST_F(WineService, UnknownSubCommandsPrintTheUsageText) {
    const ServiceTree s("svc/vesmors tree/usage", "main=block\n");
    for (const char* word : {"", "Install", "INSTALL", " install", "install ", "remove\t", "Start", "daemons", "stop"}) {
        const RunResult r = s.launcher({word});
        EXPECT_EQ(r.status, 0) << '[' << word << ']';
        EXPECT_EQ(r.out, startup_lines(s.tree) + kUsage) << '[' << word << ']';
        EXPECT_EQ(log_entries(r.log), (std::vector<std::string>{"INFO" + kMain + "starting vesmors windows service"}));
    }
    EXPECT_FALSE(query().installed);
}

TEST_F(WineService, DaemonRunsTheServerInTheForegroundAndLogsAFailedStart) {
    const ServiceTree failing("svc/daemon-fail", "create=fail\n");
    RunResult r = run(failing.tree, {.args = {"vesmors", "daemon"}});
    EXPECT_EQ(r.status, 0);
    auto rec = log_entries(r.log);
    ASSERT_FALSE(rec.empty());
    EXPECT_EQ(rec.back().rfind("ERROR" + kMain + "Application error: \"", 0), 0u) << r.log;
    EXPECT_TRUE(contains(failing.recorded(), "env.L1_HOME=(unset)"));  // no worker preparation

    // Started from a folder with a runtime of its own, it loads the installation's.
    const ServiceTree ending("svc/daemon-ends", "main=return\n");
    plant_runtime_copies(ending.tree.root);
    const fs::path caller = ending.tree.root.parent_path() / "daemon-caller";
    fs::remove_all(caller);
    install_java_runtime(caller);
    r = run(ending.tree, {.args = {"vesmors", "daemon"}, .cwd = caller});
    EXPECT_EQ(r.status, 0);
    rec = log_entries(r.log);
    ASSERT_FALSE(rec.empty());
    EXPECT_EQ(rec.back(), "INFO launcherwindows::init - Start java application vesmors");
    EXPECT_TRUE(contains(ending.recorded(), "main returned"));
    expect_vesmors_creation(ending.recorded());
    for (const auto& l : runtime_library_lines(ending.tree.root)) EXPECT_TRUE(contains(ending.recorded(), l)) << l;
    EXPECT_TRUE(contains(ending.recorded(), "cwd=" + windows_path(ending.tree.root)));
    EXPECT_FALSE(fs::exists(caller / "jre" / "bin" / "client" / "jvm_stub_record.txt"));
}
