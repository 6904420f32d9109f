// The logger's clock on Windows, from the system's own time calls.
#include <windows.h>

#include "log/logger.h"

namespace launcherwindows::logger {

LocalTime now_local() {
    FILETIME utc_ft;
    GetSystemTimePreciseAsFileTime(&utc_ft);
    FILETIME local_ft;
    FileTimeToLocalFileTime(&utc_ft, &local_ft);
    auto as_int = [](const FILETIME& f) {
        return (static_cast<long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
    };
    const long long utc = as_int(utc_ft);
    const long long local = as_int(local_ft);
    SYSTEMTIME st;
    FileTimeToSystemTime(&local_ft, &st);
    LocalTime t{};
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    t.nanoseconds = static_cast<std::uint32_t>((local % 10000000) * 100);
    t.offset_minutes = static_cast<int>((local - utc) / 600000000LL);
    return t;
}

}  // namespace launcherwindows::logger
