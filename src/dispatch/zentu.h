#pragma once
#include <string_view>

#include "common/result.h"

namespace launcherwindows {

// Loads the native-library application and calls its entry point with the
// argument; returns when the entry point has returned.
StartResult zentu(std::string_view argument);

}  // namespace launcherwindows
