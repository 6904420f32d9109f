// SHA-256 of an installed file.
#include <cstdio>
#include <memory>
#include <vector>

#include "integrity/integrity.h"
#include "integrity/sha256.h"
#include "process/file_names.h"

namespace launcherwindows::integrity {
namespace {

std::string to_hex(const unsigned char* bytes, std::size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::optional<std::string> sha256_file(const std::string& utf8_path) {
    const std::unique_ptr<std::FILE, FileCloser> file(open_file(utf8_path, "rb"));
    if (!file) return std::nullopt;
    Sha256 hash;
    std::vector<unsigned char> buf(64 * 1024);
    for (;;) {
        const std::size_t n = std::fread(buf.data(), 1, buf.size(), file.get());
        if (n > 0 && !hash.update(buf.data(), n)) return std::nullopt;
        if (n < buf.size()) break;
    }
    if (std::ferror(file.get())) return std::nullopt;
    const auto digest = hash.finish();
    if (!digest) return std::nullopt;
    return to_hex(digest->data(), digest->size());
}

}  // namespace launcherwindows::integrity
