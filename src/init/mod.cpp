#include "mod.h"

#include <string>

namespace launcherwindows::init {

StartResult configure_and_start_java_app(std::string_view app_name, std::string_view) {
    return start_error("the Java start of " + std::string(app_name) + " is not built yet");
}

}  // namespace launcherwindows::init
