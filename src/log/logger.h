#pragma once
// The process-wide log: a small logger of our own, since the configuration is
// fixed (one file appender, one pattern) and the write must append at the
// current end of file, which no packaged MinGW-ready logger guarantees.
#include <cstdint>
#include <string>
#include <string_view>

namespace launcherwindows::logger {

enum class Level : int { Off = 0, Error = 1, Warn = 2, Info = 3, Debug = 4, Trace = 5 };

inline constexpr std::string_view kTargetMain = "launcherwindows";
inline constexpr std::string_view kTargetInit = "launcherwindows::init";
inline constexpr std::string_view kTargetService = "launcherwindows::vesmors_service";

// Sets up the log file under the installation directory. Runs once per
// process; a second call is refused with a line on standard error.
void initialize();

// True when a record of this level would reach the file (a lock-free read).
bool enabled(Level level);

// Formats and writes one record; it is in the file when the call returns.
void write(Level level, std::string_view target, std::string_view message);

inline void error(std::string_view target, std::string_view m) { write(Level::Error, target, m); }
inline void warn(std::string_view target, std::string_view m) { write(Level::Warn, target, m); }
inline void info(std::string_view target, std::string_view m) { write(Level::Info, target, m); }
inline void debug(std::string_view target, std::string_view m) { write(Level::Debug, target, m); }

// A local date and time with its offset from UTC.
struct LocalTime {
    int year, month, day, hour, minute, second;
    std::uint32_t nanoseconds;
    int offset_minutes;
};
LocalTime now_local();
std::string format_timestamp(const LocalTime& t);
std::string format_record(const LocalTime& t, Level level, std::string_view target,
                          std::string_view message);
std::string_view level_name(Level level);

// The log file's path for an installation directory.
std::string log_file_path(const std::string& installation_directory);

// Where the open log file really is (under file virtualisation the user's
// VirtualStore, not the installation directory), else the path it was given;
// empty when no log file is open.
std::string file_location();

namespace detail {
// Installs the logger on an explicit file (initialize() uses this); false
// when a logger is installed already.
bool install(const std::string& path);
// Tests only: drops the installed logger (its file is closed).
void uninstall_for_tests();
// Tests only: the maximum level (INFO after initialize).
void set_max_level(Level level);
}  // namespace detail

}  // namespace launcherwindows::logger
