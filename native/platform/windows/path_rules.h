#pragma once
// Windows path rules: "\" and "/" both separate; a root is "C:\", "C:",
// "\\server\share\" (or a device path) or a lone "\".
#include <cstddef>
#include <string_view>

namespace launcherwindows {

inline constexpr char kPathSeparator = '\\';

constexpr bool is_path_separator(char c) { return c == '\\' || c == '/'; }

// Length of the root prefix, 0 if the path is relative.
constexpr std::size_t path_root_length(std::string_view p) {
    if (p.size() >= 2 && is_path_separator(p[0]) && is_path_separator(p[1])) {
        // UNC or device path: \\server\share\ is the root.
        std::size_t i = 2;
        int parts = 0;
        while (i < p.size() && parts < 2) {
            while (i < p.size() && !is_path_separator(p[i])) ++i;
            ++parts;
            if (i < p.size()) ++i;
        }
        return i;
    }
    if (p.size() >= 2 && p[1] == ':') {
        return (p.size() >= 3 && is_path_separator(p[2])) ? 3 : 2;
    }
    if (!p.empty() && is_path_separator(p[0])) return 1;
    return 0;
}

}  // namespace launcherwindows
