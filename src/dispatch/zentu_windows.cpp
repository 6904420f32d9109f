#include "dispatch/zentu.h"

#include "init/applications.h"
#include "native_library/dll_start.h"

namespace launcherwindows {

StartResult zentu(std::string_view argument) {
    return dll_start::start(init::compiled_record(init::kNativeLibraryApplication), argument, dll_start::system_loader(),
                            error_mode::process_switch());
}

}  // namespace launcherwindows
