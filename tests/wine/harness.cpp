#include "harness.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace wine_harness {

fs::path windows_build_dir() { return LAUNCHER_WINE_BUILD_DIR; }
fs::path launcher_exe() { return windows_build_dir() / "native" / "launcher.exe"; }
std::string wineprefix() { return LAUNCHER_WINEPREFIX; }
fs::path trees_base() { return fs::path(LAUNCHER_WINE_TREES); }

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_file(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string windows_path(const fs::path& unix_path) {
    std::string p = fs::absolute(unix_path).lexically_normal().string();
    for (char& c : p) {
        if (c == '/') c = '\\';
    }
    return "Z:" + p;
}

fs::path test_jre() { return windows_build_dir() / "tests" / "doubles" / "jvm" / "jre"; }

void install_java_runtime(const fs::path& root) {
    fs::create_directories(root / "jre");
    fs::copy(test_jre(), root / "jre", fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void plant_runtime_copies(const fs::path& dir) {
    for (const char* dll : {"crtdouble.dll", "javadouble.dll", "verifydouble.dll"})
        fs::copy_file(test_jre() / "bin" / dll, dir / dll, fs::copy_options::overwrite_existing);
}

std::vector<std::string> runtime_library_lines(const fs::path& root) {
    std::vector<std::string> lines;
    for (const char* dll : {"crtdouble.dll", "javadouble.dll", "verifydouble.dll"})
        lines.push_back(std::string("library ") + dll + "=" + windows_path(root / "jre" / "bin" / dll));
    return lines;
}

Tree make_tree(const std::string& relative, const fs::path& exe_source) {
    Tree t;
    t.root = trees_base() / relative;
    fs::remove_all(t.root);
    fs::create_directories(t.root / "bin");
    t.exe = t.root / "bin" / "launcher.exe";
    if (!fs::exists(exe_source)) {
        throw std::runtime_error("no Windows build at " + exe_source.string() +
                                 ": build that preset first");
    }
    fs::copy_file(exe_source, t.exe, fs::copy_options::overwrite_existing);
    return t;
}

RunResult run_host(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                   const fs::path& cwd, std::chrono::seconds timeout) {
    RunResult r;
    char out_name[] = "/tmp/wine-harness-out-XXXXXX";
    char err_name[] = "/tmp/wine-harness-err-XXXXXX";
    const int out_fd = mkstemp(out_name);
    const int err_fd = mkstemp(err_name);
    if (out_fd < 0 || err_fd < 0) throw std::runtime_error("mkstemp failed");

    std::map<std::string, std::string> full_env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string kv = *e;
        const auto eq = kv.find('=');
        if (eq != std::string::npos) full_env[kv.substr(0, eq)] = kv.substr(eq + 1);
    }
    // A display reaches only the runs given one: a window must not wait for a person.
    full_env.erase("DISPLAY");
    full_env.erase("WAYLAND_DISPLAY");
    full_env.erase("LAUNCHER_WINE_DISPLAY");
    for (const auto& [k, v] : env) full_env[k] = v;
    std::vector<std::string> env_strings;
    for (const auto& [k, v] : full_env) env_strings.push_back(k + "=" + v);

    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        setpgid(0, 0);
        const int null_fd = open("/dev/null", O_RDONLY);
        dup2(null_fd, 0);
        dup2(out_fd, 1);
        dup2(err_fd, 2);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
        std::vector<char*> a;
        for (const auto& s : argv) a.push_back(const_cast<char*>(s.c_str()));
        a.push_back(nullptr);
        std::vector<char*> e;
        for (auto& s : env_strings) e.push_back(s.data());
        e.push_back(nullptr);
        execve(a[0], a.data(), e.data());
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int wstatus = 0;
    for (;;) {
        const pid_t w = waitpid(pid, &wstatus, WNOHANG);
        if (w == pid) break;
        if (std::chrono::steady_clock::now() > deadline) {
            r.timed_out = true;
            kill(-pid, SIGKILL);
            waitpid(pid, &wstatus, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    close(out_fd);
    close(err_fd);
    r.out = read_file(out_name);
    r.err = read_file(err_name);
    unlink(out_name);
    unlink(err_name);
    return r;
}

namespace {
std::map<std::string, std::string> wine_env(const std::map<std::string, std::string>& extra) {
    std::map<std::string, std::string> env{{"WINEPREFIX", wineprefix()}, {"WINEDEBUG", "-all"}};
    for (const auto& [k, v] : extra) env[k] = v;
    return env;
}
}  // namespace

RunResult run_exe(const fs::path& exe, const RunOptions& options) {
    std::vector<std::string> argv{LAUNCHER_WINE_LOADER, exe.string()};
    argv.insert(argv.end(), options.args.begin(), options.args.end());
    const fs::path cwd = options.cwd.empty() ? exe.parent_path() : options.cwd;
    return run_host(argv, wine_env(options.env), cwd, options.timeout);
}

RunResult run(const Tree& tree, const RunOptions& options) {
    RunOptions o = options;
    if (o.cwd.empty()) o.cwd = tree.root;
    RunResult r = run_exe(tree.exe, o);
    r.log = read_file(tree.log_file());
    return r;
}

RunResult run_tool(const std::vector<std::string>& command_line, std::chrono::seconds timeout) {
    std::vector<std::string> argv{LAUNCHER_WINE_LOADER};
    argv.insert(argv.end(), command_line.begin(), command_line.end());
    return run_host(argv, wine_env({}), trees_base(), timeout);
}

std::vector<std::string> log_records(const std::string& log) {
    std::vector<std::string> records;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = log.find("\r\n\n", start);
        if (end == std::string::npos) break;
        records.push_back(log.substr(start, end - start));
        start = end + 3;
    }
    if (start < log.size()) records.push_back(log.substr(start));  // an incomplete tail
    return records;
}

std::string record_message(const std::string& record) {
    const auto sep = record.find(" - ");
    return sep == std::string::npos ? record : record.substr(sep + 3);
}

std::string record_level(const std::string& record) {
    const auto first = record.find(' ');
    if (first == std::string::npos) return {};
    const auto second = record.find(' ', first + 1);
    return record.substr(first + 1, second - first - 1);
}

std::vector<std::string> log_messages(const std::string& log) {
    std::vector<std::string> out;
    for (const auto& r : log_records(log)) out.push_back(record_level(r) + " " + record_message(r));
    return out;
}

std::vector<std::string> log_entries(const std::string& log) {
    std::vector<std::string> out;
    for (const auto& r : log_records(log)) out.push_back(r.substr(r.find(' ') + 1));
    return out;
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out = split_lines(text);
    for (auto& l : out) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
    }
    return out;
}

bool contains(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

ServiceState query() {
    ServiceState s;
    const RunResult r = run_tool({"sc", "query", "vesmors"});
    s.text = r.out;
    if (r.status != 0 || r.out.find("SERVICE_NAME: vesmors") == std::string::npos) return s;
    s.installed = true;
    std::smatch m;
    if (std::regex_search(r.out, m, std::regex(R"(STATE\s+:\s+(\d+))"))) s.state = std::stoi(m[1]);
    if (std::regex_search(r.out, m, std::regex(R"(WIN32_EXIT_CODE\s+:\s+(\d+))"))) s.win32_exit_code = std::stoul(m[1]);
    if (std::regex_search(r.out, m, std::regex(R"(SERVICE_EXIT_CODE\s+:\s+(\d+))"))) s.service_exit_code = std::stoul(m[1]);
    return s;
}

ServiceState wait_for_state(int state, std::chrono::seconds timeout) {
    ServiceState s;
    poll([&] { return (s = query()).state == state; }, timeout);
    return s;
}

bool wait_until_removed(std::chrono::seconds timeout) {
    return poll([] { return !query().installed; }, timeout);
}

std::vector<pid_t> processes_of(const fs::path& exe) {
    const std::string wanted = windows_path(exe);
    std::vector<pid_t> pids;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        const std::string cmdline = read_file(entry.path() / "cmdline");
        if (cmdline.find(wanted) == std::string::npos) continue;
        const std::string stat = read_file(entry.path() / "stat");
        const auto close = stat.rfind(')');
        if (close == std::string::npos || stat.size() < close + 3 || stat[close + 2] == 'Z') continue;
        pids.push_back(static_cast<pid_t>(std::stol(name)));
    }
    return pids;
}

}  // namespace wine_harness
