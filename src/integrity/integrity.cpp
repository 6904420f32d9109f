#include "integrity/integrity.h"

#include <exception>

#include "path_rules.h"
#include "process/util.h"

namespace launcherwindows::integrity {

bool check_files(std::string_view app, const FileDigest* files, std::size_t count,
                 const std::string& installation_directory) {
    try {
        for (std::size_t i = 0; i < count; ++i) {
            if (app != files[i].app) continue;
            std::string path = installation_directory;
            if (path.empty() || path.back() != kPathSeparator) path += kPathSeparator;
            for (const char* p = files[i].relative_path; *p != '\0'; ++p) {
                path += (*p == '/') ? kPathSeparator : *p;
            }
            const auto digest = sha256_file(path);
            if (!digest || *digest != files[i].sha256_hex) return false;
        }
        return true;
    } catch (const std::exception&) {
        return false;  // an internal failure counts as not valid
    }
}

bool is_valid(std::string_view app) {
    bool any = false;
    for (std::size_t i = 0; i < launcher_integrity_manifest_count; ++i) {
        any = any || app == launcher_integrity_manifest[i].app;
    }
    if (!any) return true;
    return check_files(app, launcher_integrity_manifest, launcher_integrity_manifest_count,
                       get_halvora_directory());
}

}  // namespace launcherwindows::integrity
