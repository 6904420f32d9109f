#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "common/result.h"

namespace launcherwindows::logger {

// The log file, opened for writing, created or written on at its end (never
// emptied: it may hold the records of a start whose file could not be moved
// aside), shared with other processes for read, write and delete. Every write
// goes to the current end of the file, so another process writing or emptying
// it never leaves a gap of zero bytes. The system calls are in
// log_file_windows.cpp and log_file_posix.cpp.
class LogFile {
public:
    LogFile() = default;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;
    ~LogFile();

    // Creates the missing directories and opens the file; why not, on failure.
    Result<Unit, std::string> open(const std::string& path);
    bool is_open() const { return file_ != kClosed; }
    // Writes all bytes at the end of the file; why not, on failure.
    Result<Unit, std::string> append(std::string_view bytes);
    // Where the open file really is, which under file virtualisation is not
    // where it was asked for; empty when the system cannot say.
    std::string final_path() const;

private:
    // -1 is both an invalid POSIX descriptor and INVALID_HANDLE_VALUE.
    static constexpr std::intptr_t kClosed = -1;

    // Opens (creating) the file; the system error code on failure.
    Result<Unit, std::uint32_t> create(const std::string& path);
    // Writes some of the bytes at the end of the file, at least one unless
    // the system accepts none: how many, or the system error code.
    Result<std::size_t, std::uint32_t> write_some(std::string_view bytes);
    void close();

    std::intptr_t file_ = kClosed;  // a POSIX descriptor or a Windows HANDLE
};

}  // namespace launcherwindows::logger
