#include "process/console_output.h"

#include "log/earlier_files.h"
#include "log/logger.h"
#include "common/log_folder.h"

namespace launcherwindows::console {

std::string console_file_path(std::string_view app_name) {
    return working_log_file(std::string(app_name) + "-console.log");
}

void keep_output(std::string_view app_name) {
    const Missing missing = missing_streams();
    if (!missing.output && !missing.error) return;
    const std::string path = console_file_path(app_name);
    Result<Unit, std::string> kept = Result<Unit, std::string>::ok(Unit{});
    logger::keep_earlier_files_and_open_or_warn(path, [&] { kept = redirect(path, missing); });
    if (!kept) {
        logger::warn(logger::kTargetInit,
                     "the console output of " + std::string(app_name) + " is not kept: " + kept.error());
    }
}

}  // namespace launcherwindows::console
