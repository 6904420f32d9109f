// The zentu library is a Windows DLL; this build has no loader for it.
#include "dispatch/zentu.h"

namespace launcherwindows {

StartResult zentu(std::string_view) { return start_error("the zentu application runs on Windows only"); }

}  // namespace launcherwindows
