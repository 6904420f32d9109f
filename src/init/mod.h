#pragma once
#include <string_view>

#include "../result.h"

namespace launcherwindows::init {

// Starts a Java application in this process from its record text and returns
// when it has ended: success or an error text.
StartResult configure_and_start_java_app(std::string_view app_name, std::string_view record_text);

}  // namespace launcherwindows::init
