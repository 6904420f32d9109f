// SHA-256 of a file through the platform's own crypto: CNG on Windows,
// OpenSSL's libcrypto on the host.
#include <cstdio>
#include <memory>
#include <vector>

#include "integrity.h"

#ifdef _WIN32
#include <windows.h>
#include <bcrypt.h>
#include "unicode_windows.h"
#else
#include <openssl/evp.h>
#endif

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

std::unique_ptr<std::FILE, FileCloser> open_for_reading(const std::string& path) {
#ifdef _WIN32
    return std::unique_ptr<std::FILE, FileCloser>(_wfopen(unicode::to_wide(path).c_str(), L"rb"));
#else
    return std::unique_ptr<std::FILE, FileCloser>(std::fopen(path.c_str(), "rb"));
#endif
}

}  // namespace

std::optional<std::string> sha256_file(const std::string& utf8_path) {
    auto file = open_for_reading(utf8_path);
    if (!file) return std::nullopt;
    std::vector<unsigned char> buf(64 * 1024);
    unsigned char digest[32];
#ifdef _WIN32
    BCRYPT_ALG_HANDLE alg = nullptr;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&alg, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
        return std::nullopt;
    }
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (!BCRYPT_SUCCESS(BCryptCreateHash(alg, &hash, nullptr, 0, nullptr, 0, 0))) {
        BCryptCloseAlgorithmProvider(alg, 0);
        return std::nullopt;
    }
    bool ok = true;
    for (;;) {
        const std::size_t n = std::fread(buf.data(), 1, buf.size(), file.get());
        if (n > 0 && !BCRYPT_SUCCESS(BCryptHashData(hash, buf.data(), static_cast<ULONG>(n), 0))) ok = false;
        if (n < buf.size()) break;
    }
    if (std::ferror(file.get())) ok = false;
    if (ok && !BCRYPT_SUCCESS(BCryptFinishHash(hash, digest, sizeof digest, 0))) ok = false;
    BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(alg, 0);
    if (!ok) return std::nullopt;
#else
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1) return std::nullopt;
    for (;;) {
        const std::size_t n = std::fread(buf.data(), 1, buf.size(), file.get());
        if (n > 0 && EVP_DigestUpdate(ctx.get(), buf.data(), n) != 1) return std::nullopt;
        if (n < buf.size()) break;
    }
    if (std::ferror(file.get())) return std::nullopt;
    unsigned int len = 0;
    if (EVP_DigestFinal_ex(ctx.get(), digest, &len) != 1 || len != sizeof digest) return std::nullopt;
#endif
    return to_hex(digest, sizeof digest);
}

}  // namespace launcherwindows::integrity
