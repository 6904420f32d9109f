#include "zentu.h"

#include "dll_start.h"
#include "init/app_records.h"

namespace launcherwindows {

StartResult zentu(std::string_view argument) {
    return dll_start::start(init::compiled_record("zentu"), argument, dll_start::system_loader(),
                            error_mode::process_switch());
}

}  // namespace launcherwindows
