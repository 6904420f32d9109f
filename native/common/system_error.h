#pragma once
// The system's own words for an error code, as every message of this program
// gives them. Windows and POSIX each answer in a file of their own
// (system_error_windows.cpp, system_error_posix.cpp).
#include <cstdint>
#include <string>

namespace launcherwindows {

// The values of winerror.h that code without <windows.h> needs.
inline constexpr std::uint32_t kNoError = 0;
inline constexpr std::uint32_t kErrorNotEnoughMemory = 8;
inline constexpr std::uint32_t kErrorCallNotImplemented = 120;
inline constexpr std::uint32_t kErrorServiceRequestTimeout = 1053;
inline constexpr std::uint32_t kErrorServiceCannotAcceptCtrl = 1061;
inline constexpr std::uint32_t kErrorServiceNotActive = 1062;
inline constexpr std::uint32_t kErrorServiceSpecificError = 1066;

// The system's message for an error code, trailing white space removed;
// "unknown error" when the system has none.
std::string system_error_message(std::uint32_t code);

// " (os error <code>)", the end of every text that carries a system code.
std::string os_error_suffix(std::uint32_t code);
// "<system message> (os error <code>)"
std::string os_error_text(std::uint32_t code);

}  // namespace launcherwindows
