#include "zentu.h"

namespace launcherwindows {

StartResult zentu(std::string_view) { return start_error("the zentu start is not built yet"); }

}  // namespace launcherwindows
