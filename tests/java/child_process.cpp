#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace java_test {

namespace fs = std::filesystem;

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (in) text << in.rdbuf();
    return text.str();
}

void write_file(const fs::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

Child::Child(const std::vector<std::string>& argv, const fs::path& cwd,
             const std::map<std::string, std::string>& extra_env)
    : out_(cwd / "child.out"), err_(cwd / "child.err") {
    std::map<std::string, std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string kv = *e;
        const auto eq = kv.find('=');
        if (eq != std::string::npos) env[kv.substr(0, eq)] = kv.substr(eq + 1);
    }
    for (const auto& [k, v] : extra_env) env[k] = v;
    std::vector<std::string> env_strings;
    for (const auto& [k, v] : env) env_strings.push_back(k + "=" + v);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& s : env_strings) envp.push_back(s.data());
    envp.push_back(nullptr);

    const int out_fd = open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err_fd = open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out_fd < 0 || err_fd < 0) throw std::runtime_error("cannot create the output files in " + cwd.string());
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        setpgid(0, 0);
        const int null_fd = open("/dev/null", O_RDONLY);
        dup2(null_fd, 0);
        dup2(out_fd, 1);
        dup2(err_fd, 2);
        if (chdir(cwd.c_str()) != 0) _exit(126);
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    close(out_fd);
    close(err_fd);
}

Child::~Child() {
    if (pid_ > 0 && !reaped_) {
        kill(-pid_, SIGKILL);
        waitpid(pid_, &wstatus_, 0);
    }
}

bool Child::running() {
    if (reaped_) return false;
    if (waitpid(pid_, &wstatus_, WNOHANG) == pid_) reaped_ = true;
    return !reaped_;
}

Finished Child::wait(std::chrono::seconds timeout) {
    Finished f;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (running()) {
        if (std::chrono::steady_clock::now() > deadline) {
            f.timed_out = true;
            kill(-pid_, SIGKILL);
            waitpid(pid_, &wstatus_, 0);
            reaped_ = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    f.status = WIFEXITED(wstatus_) ? WEXITSTATUS(wstatus_) : 128 + WTERMSIG(wstatus_);
    f.out = read_file(out_);
    f.err = read_file(err_);
    return f;
}

}  // namespace java_test
