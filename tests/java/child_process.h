#pragma once
// Runs a program in a process of its own, with a working directory and extra
// environment, its standard output and error captured in files.
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace java_test {

struct Finished {
    int status = -1;  // exit status, or 128 + signal
    bool timed_out = false;
    std::string out;
    std::string err;
};

class Child {
public:
    Child(const std::vector<std::string>& argv, const std::filesystem::path& cwd,
          const std::map<std::string, std::string>& extra_env);
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child();

    bool running();
    // Waits for the end; kills the process group when the time runs out.
    Finished wait(std::chrono::seconds timeout);

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
    int wstatus_ = 0;
    std::filesystem::path out_, err_;
};

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const std::string& content);

}  // namespace java_test
