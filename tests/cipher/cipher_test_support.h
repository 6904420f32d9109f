#pragma once
// Helpers shared by the cipher tests: hex, keys, tables, and on the host an
// OpenSSL reference.
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "cipher/cipher_api.h"
#include "wbgen.h"

namespace cipher_test {

using Bytes = std::vector<unsigned char>;

// The signature of every mode function.
using ModeFn = void(LAUNCHER_CDECL*)(const unsigned char*, const unsigned char*, std::uint32_t, unsigned char*);

inline Bytes from_hex(std::string_view hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(static_cast<unsigned char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    }
    return out;
}

inline std::string to_hex(const unsigned char* p, std::size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}
inline std::string to_hex(const Bytes& b) { return to_hex(b.data(), b.size()); }

inline wbgen::Key key_from_hex(std::string_view hex) {
    const auto key = wbgen::parse_key(hex);
    return key ? *key : wbgen::Key{};
}

inline Bytes random_bytes(std::mt19937& rng, std::size_t n) {
    Bytes b(n);
    for (auto& c : b) c = static_cast<unsigned char>(rng());
    return b;
}

// NIST SP 800-38A, F.3.5/F.4.5/F.5.5: AES-256 with this key.
inline constexpr std::string_view kNistKey = "603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4";
inline constexpr std::string_view kNistIv = "000102030405060708090a0b0c0d0e0f";
inline constexpr std::string_view kNistCounter = "f0f1f2f3f4f5f6f7f8f9fafbfcfdfeff";
inline constexpr std::string_view kNistPlaintext =
    "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710";
inline constexpr std::string_view kNistCfb =
    "dc7e84bfda79164b7ecd8486985d386039ffed143b28b1c832113c6331e5407b"
    "df10132415e54b92a13ed0a8267ae2f975a385741ab9cef82031623d55b1e471";
inline constexpr std::string_view kNistOfb =
    "dc7e84bfda79164b7ecd8486985d38604febdc6740d20b3ac88f6ad82a4fb08d"
    "71ab47a086e86eedf39d1c5bba97c4080126141d67f37be8538f5a8be740e484";
inline constexpr std::string_view kNistCtr =
    "601ec313775789a5b7a7f504bbf3d228f443e3ca4d62b59aca84e990cacaf5c5"
    "2b0930daa23de94ce87017ba2d84988ddfc9c58db67aada613c2dd08457941a6";

}  // namespace cipher_test

#ifdef LAUNCHER_TEST_HAVE_OPENSSL
#include <openssl/evp.h>

namespace cipher_test {

// One EVP run over the whole input: ECB (no IV), CFB-128, OFB or CTR.
inline Bytes openssl_run(const EVP_CIPHER* cipher, const wbgen::Key& key, const unsigned char* iv, const Bytes& in,
                         bool encrypt = true) {
    Bytes out(in.size() + 16);
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    int n = 0;
    int tail = 0;
    EVP_CipherInit_ex(ctx, cipher, nullptr, key.data(), iv, encrypt ? 1 : 0);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    EVP_CipherUpdate(ctx, out.data(), &n, in.data(), static_cast<int>(in.size()));
    EVP_CipherFinal_ex(ctx, out.data() + n, &tail);
    EVP_CIPHER_CTX_free(ctx);
    out.resize(static_cast<std::size_t>(n + tail));
    return out;
}

}  // namespace cipher_test
#endif
