#include "common/shared_file_windows.h"

#include "common/unicode_windows.h"

namespace launcherwindows {

HANDLE open_shared_file(const std::string& utf8_path, DWORD access) {
    return CreateFileW(unicode::to_wide(utf8_path).c_str(), access,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace launcherwindows
