#include "process/file_names.h"

#include "common/unicode_windows.h"

namespace launcherwindows {

std::filesystem::path filesystem_path(const std::string& utf8_path) {
    return std::filesystem::path(unicode::to_wide(utf8_path));
}

std::FILE* open_file(const std::string& utf8_path, const char* mode) {
    return _wfopen(unicode::to_wide(utf8_path).c_str(), unicode::to_wide(mode).c_str());
}

}  // namespace launcherwindows
