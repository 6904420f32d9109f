#include <cstring>

#include "common/system_error.h"

namespace launcherwindows {

// glibc's texts carry no trailing white space, and unknown codes get one too.
std::string system_error_message(std::uint32_t code) { return std::strerror(static_cast<int>(code)); }

}  // namespace launcherwindows
