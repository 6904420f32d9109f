#pragma once
// The Windows service the suite's Java server runs as: the name the service
// control manager knows it by, and the name it shows.
#include <string_view>

namespace launcherwindows {

inline constexpr std::string_view kServiceName = "vesmors";
inline constexpr std::string_view kServiceDisplayName = "Halvora VESMOR Service";

}  // namespace launcherwindows
