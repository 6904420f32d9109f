#include "zentu.h"

#include "dll_start.h"
#include "init/app_records.h"

namespace launcherwindows {

#ifdef _WIN32
StartResult zentu(std::string_view argument) {
    return dll_start::start(init::compiled_record("zentu"), argument, dll_start::system_loader(),
                            error_mode::process_switch());
}
#else
// The zentu library is a Windows DLL; this build has no loader for it.
StartResult zentu(std::string_view) { return start_error("the zentu application runs on Windows only"); }
#endif

}  // namespace launcherwindows
