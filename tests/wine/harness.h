#pragma once
// Runs the Windows build of launcher.exe (and Wine's own tools) under Wine
// from host-side tests, in the private prefix of this build tree.
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace wine_harness {

namespace fs = std::filesystem;

// The Windows build of launcher.exe these tests run.
fs::path launcher_exe();
// The folder with the Windows-built test doubles (jvm.dll and others).
fs::path windows_build_dir();
std::string wineprefix();

// An installation tree: <root>/bin/launcher.exe plus whatever a test adds.
struct Tree {
    fs::path root;
    fs::path exe;
    fs::path log_file() const { return root / "launcher-logs" / "launcher.log"; }
};
// The stand-in Java runtime's jre folder (jre/bin/client/jvm.dll and the
// runtime's own libraries in jre/bin) of the Windows build.
fs::path test_jre();
// Copies it into <root>/jre, where the records expect it.
void install_java_runtime(const fs::path& root);
// Plants copies of the runtime's own libraries in <dir>, a working directory:
// a launcher that searches it would load them instead of the runtime's.
void plant_runtime_copies(const fs::path& dir);
// The stand-in's record of where it found its libraries, when they came from
// the runtime installed under <root>.
std::vector<std::string> runtime_library_lines(const fs::path& root);

// Makes a fresh tree at <base>/<relative> (the relative path may hold spaces,
// non-ASCII letters or "vesmors"/"zentu") with a copy of launcher.exe.
Tree make_tree(const std::string& relative, const fs::path& exe_source = launcher_exe());
fs::path trees_base();

struct RunOptions {
    std::vector<std::string> args;                 // after the program path
    fs::path cwd;                                  // default: the tree's root
    std::map<std::string, std::string> env;        // added to the environment
    std::chrono::seconds timeout{60};
};

struct RunResult {
    std::string out;
    std::string err;
    int status = -1;       // exit status as the host sees it (-1 reads 255)
    bool timed_out = false;
    std::string log;       // the tree's launcher.log afterwards ("" if none)
};

// Runs <exe> under Wine with the options; the program path is the exe's
// unix path, which Wine shows the program as Z:\...
RunResult run(const Tree& tree, const RunOptions& options);
RunResult run_exe(const fs::path& exe, const RunOptions& options);
// Runs a Wine built-in program such as "sc", "net" or "reg".
RunResult run_tool(const std::vector<std::string>& command_line,
                   std::chrono::seconds timeout = std::chrono::seconds(60));
// Runs any host command; stdout and stderr captured.
RunResult run_host(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                   const fs::path& cwd, std::chrono::seconds timeout);

std::string read_file(const fs::path& path);
void write_file(const fs::path& path, const std::string& content);
// The Windows path Wine gives a unix path (Z:\...).
std::string windows_path(const fs::path& unix_path);

// The log's records, each without its trailing CR LF LF, split on that ending.
std::vector<std::string> log_records(const std::string& log);
// The message part of a record ("<date> <LEVEL> <target> - <message>").
std::string record_message(const std::string& record);
std::string record_level(const std::string& record);
// "<LEVEL> <message>" of each record.
std::vector<std::string> log_messages(const std::string& log);
// "<LEVEL> <target> - <message>" of each record (the date left out).
std::vector<std::string> log_entries(const std::string& log);
// The text split at line feeds (a final line feed ends the last line).
std::vector<std::string> split_lines(const std::string& text);

// Lines without their CR (sc and reg answer with CR LF).
std::vector<std::string> lines(const std::string& text);
bool contains(const std::vector<std::string>& v, const std::string& s);

// True once done() holds, checked every 100 ms; false at the timeout.
template <class Pred>
bool poll(Pred done, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

// The vesmors service as Wine's service control manager reports it.
struct ServiceState {
    bool installed = false;
    int state = 0;  // 1 stopped, 4 running
    unsigned long win32_exit_code = 0;
    unsigned long service_exit_code = 0;
    std::string text;
};
ServiceState query();
// Wine's services.exe may take a while, the first start in a prefix most.
ServiceState wait_for_state(int state, std::chrono::seconds timeout = std::chrono::seconds(120));
bool wait_until_removed(std::chrono::seconds timeout = std::chrono::seconds(30));

// Linux processes (not yet reaped zombies) whose command line runs this exe.
std::vector<pid_t> processes_of(const fs::path& exe);

}  // namespace wine_harness
