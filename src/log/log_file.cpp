#include "log/log_file.h"

#include <filesystem>
#include <system_error>

#include "common/system_error.h"
#include "process/file_names.h"
#include "process/process.h"

namespace launcherwindows::logger {
LogFile::~LogFile() { close(); }

namespace {
using Done = Result<Unit, std::string>;
}  // namespace

Done LogFile::open(const std::string& path) {
    const auto parent = filesystem_path(path).parent_path();
    std::error_code ec;
    if (!parent.empty()) {
        std::filesystem::create_directories(parent, ec);
        if (ec) return Done::err("cannot create the log directory: " + ec.message());
    }
    const auto created = create(path);
    return created ? Done::ok(Unit{}) : Done::err(os_error_text(created.error()));
}

Done LogFile::append(std::string_view bytes) {
    while (!bytes.empty()) {
        const auto written = write_some(bytes);
        if (!written) return Done::err(os_error_text(written.error()));
        if (written.value() == 0) return Done::err("the log file accepted no bytes");
        bytes.remove_prefix(written.value());
    }
    return Done::ok(Unit{});
}

}  // namespace launcherwindows::logger
