// Placeholder until the white-box cipher lands.
#include <cstring>

#include "cipher.h"
#include "jni_natives.h"

extern "C" {
void initializeCipher(const std::uint8_t*, const std::uint32_t*, const std::uint32_t*, const std::uint32_t*) {}
void LAUNCHER_CDECL aes_whitebox_encrypt_cfb(const unsigned char*, const unsigned char* in, std::uint32_t n, unsigned char* out) { std::memmove(out, in, n); }
void LAUNCHER_CDECL aes_whitebox_decrypt_cfb(const unsigned char*, const unsigned char* in, std::uint32_t n, unsigned char* out) { std::memmove(out, in, n); }
void LAUNCHER_CDECL aes_whitebox_encrypt_ofb(const unsigned char*, const unsigned char* in, std::uint32_t n, unsigned char* out) { std::memmove(out, in, n); }
void LAUNCHER_CDECL aes_whitebox_decrypt_ofb(const unsigned char*, const unsigned char* in, std::uint32_t n, unsigned char* out) { std::memmove(out, in, n); }
void LAUNCHER_CDECL aes_whitebox_encrypt_ctr(const unsigned char*, const unsigned char* in, std::uint32_t n, unsigned char* out) { std::memmove(out, in, n); }
void LAUNCHER_CDECL aes_whitebox_decrypt_ctr(const unsigned char*, const unsigned char* in, std::uint32_t n, unsigned char* out) { std::memmove(out, in, n); }
void LAUNCHER_CDECL distributionkey(unsigned char* out) { std::memset(out, 0, 48); }
}

void install_compiled_cipher_tables() {}

JNINativeMethod* cipher_native_methods() {
    static JNINativeMethod methods[kCipherNativeCount] = {};
    return methods;
}
