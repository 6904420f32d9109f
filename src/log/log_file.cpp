#include "log/log_file.h"

#include <filesystem>
#include <system_error>

#include "common/system_error.h"
#include "process/file_names.h"
#include "process/process.h"

namespace launcherwindows::logger {
LogFile::~LogFile() { close(); }

std::string LogFile::open(const std::string& path) {
    const auto parent = filesystem_path(path).parent_path();
    std::error_code ec;
    if (!parent.empty()) {
        std::filesystem::create_directories(parent, ec);
        if (ec) return "cannot create the log directory: " + ec.message();
    }
    const std::uint32_t code = create(path);
    return code == 0 ? std::string() : os_error_text(code);
}

std::string LogFile::append(std::string_view bytes) {
    while (!bytes.empty()) {
        std::size_t written = 0;
        if (const std::uint32_t code = write_some(bytes, written); code != 0) return os_error_text(code);
        if (written == 0) return "the log file accepted no bytes";
        bytes.remove_prefix(written);
    }
    return {};
}

}  // namespace launcherwindows::logger
