#include "app_records.h"

namespace launcherwindows::init {

std::string_view compiled_record(std::string_view) { return {}; }

}  // namespace launcherwindows::init
