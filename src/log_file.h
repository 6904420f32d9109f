#pragma once
#include <string>
#include <string_view>

namespace launcherwindows::logger {

// The log file, opened for writing, created or emptied, shared with other
// processes for read, write and delete. Every write goes to the current end of
// the file, so another process emptying it never leaves a gap of zero bytes.
class LogFile {
public:
    LogFile() = default;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;
    ~LogFile();

    // Creates the missing directories and opens the file; an error text on failure.
    std::string open(const std::string& path);
    bool is_open() const;
    // Writes all bytes at the end of the file; an error text on failure.
    std::string append(std::string_view bytes);

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

}  // namespace launcherwindows::logger
