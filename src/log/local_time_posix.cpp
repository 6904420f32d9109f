// The logger's clock on POSIX.
#include <ctime>

#include "log/logger.h"

namespace launcherwindows::logger {

LocalTime now_local() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    localtime_r(&ts.tv_sec, &tm);
    LocalTime t{};
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.nanoseconds = static_cast<std::uint32_t>(ts.tv_nsec);
    t.offset_minutes = static_cast<int>(tm.tm_gmtoff / 60);
    return t;
}

}  // namespace launcherwindows::logger
