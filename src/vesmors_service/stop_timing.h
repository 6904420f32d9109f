#pragma once
// How long the service's stop waits for the Java server, written once: the
// stop itself and the preshutdown time-out that install registers follow it.
#include <chrono>

namespace launcherwindows::vesmors_service {

// A stop waits this long for the server's shutdown hooks, then reports
// Stopped without it and ends the process.
inline constexpr std::chrono::seconds kStopBound{20};

// How long the stop waits, and how often meanwhile it tells the manager that
// it still works on the stop.
struct StopTiming {
    std::chrono::seconds bound = kStopBound;
    std::chrono::milliseconds check_point_interval{2000};
};

// A stop has reported Stopped and ended the process within this: the bound
// and time to report and end after it.
inline constexpr std::chrono::milliseconds kStopEndsWithin = kStopBound + std::chrono::seconds(5);

// At the machine's shutdown the manager waits this long for a service that
// takes the preshutdown control; the remove command waits as long for a stop.
inline constexpr std::chrono::milliseconds kPreshutdownTimeout = kStopEndsWithin;
static_assert(kPreshutdownTimeout <= std::chrono::minutes(1), "a shutdown should not wait on us for longer");

}  // namespace launcherwindows::vesmors_service
