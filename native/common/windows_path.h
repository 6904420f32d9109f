#pragma once
// Paths as the Windows loader and file calls take them (Windows only).
#include <cstdint>
#include <string>
#include <string_view>

#include "common/result.h"

namespace launcherwindows {

// A UTF-8 path in UTF-16, with "/" read as "\".
std::wstring windows_path(std::string_view utf8_path);

// The absolute form of a path, resolved against the working directory; the
// system error code when it has none.
Result<std::wstring, std::uint32_t> full_path(const std::wstring& path);

}  // namespace launcherwindows
