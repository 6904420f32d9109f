#pragma once
// POSIX path rules: "/" separates, and "/" is the only root.
#include <cstddef>
#include <string_view>

namespace launcherwindows {

inline constexpr char kPathSeparator = '/';

constexpr bool is_path_separator(char c) { return c == '/'; }

// Length of the root prefix, 0 if the path is relative.
constexpr std::size_t path_root_length(std::string_view p) { return (!p.empty() && p[0] == '/') ? 1 : 0; }

}  // namespace launcherwindows
