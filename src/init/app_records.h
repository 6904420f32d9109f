#pragma once
#include <string_view>

namespace launcherwindows::init {

// The compiled-in record text of an application (JavaApp for ormic, ormad and
// vesmors; DllApp for zentu); empty for any other name.
std::string_view compiled_record(std::string_view app_name);

}  // namespace launcherwindows::init
