// Stream modes over the white-box block cipher. Keystream is made one block
// at a time on the first byte of each block, so any length works unpadded.
#include <cstring>

#include "cipher.h"
#include "whitebox.h"

extern "C" {

void LAUNCHER_CDECL aes_whitebox_encrypt_cfb(const unsigned char* iv, const unsigned char* in, std::uint32_t length,
                                             unsigned char* out) {
    unsigned char reg[16];
    std::memcpy(reg, iv, 16);
    for (std::uint32_t i = 0; i < length; ++i) {
        const std::uint32_t k = i % 16;
        if (k == 0) Cipher(reg);
        reg[k] ^= in[i];
        out[i] = reg[k];
    }
}

// Each ciphertext byte is read once, before its output byte is written, so
// the output may be the input buffer itself.
void LAUNCHER_CDECL aes_whitebox_decrypt_cfb(const unsigned char* iv, const unsigned char* in, std::uint32_t length,
                                             unsigned char* out) {
    unsigned char reg[16];
    std::memcpy(reg, iv, 16);
    for (std::uint32_t i = 0; i < length; ++i) {
        const std::uint32_t k = i % 16;
        if (k == 0) Cipher(reg);
        const unsigned char c = in[i];
        out[i] = static_cast<unsigned char>(reg[k] ^ c);
        reg[k] = c;
    }
}

void LAUNCHER_CDECL aes_whitebox_encrypt_ofb(const unsigned char* iv, const unsigned char* in, std::uint32_t length,
                                             unsigned char* out) {
    unsigned char reg[16];
    std::memcpy(reg, iv, 16);
    for (std::uint32_t i = 0; i < length; ++i) {
        const std::uint32_t k = i % 16;
        if (k == 0) Cipher(reg);
        out[i] = static_cast<unsigned char>(in[i] ^ reg[k]);
    }
}

void LAUNCHER_CDECL aes_whitebox_decrypt_ofb(const unsigned char* iv, const unsigned char* in, std::uint32_t length,
                                             unsigned char* out) {
    aes_whitebox_encrypt_ofb(iv, in, length, out);
}

void LAUNCHER_CDECL aes_whitebox_encrypt_ctr(const unsigned char* iv, const unsigned char* in, std::uint32_t length,
                                             unsigned char* out) {
    unsigned char counter[16];
    unsigned char keystream[16];
    std::memcpy(counter, iv, 16);
    for (std::uint32_t i = 0; i < length; ++i) {
        const std::uint32_t k = i % 16;
        if (k == 0) {
            std::memcpy(keystream, counter, 16);
            Cipher(keystream);
            // 128-bit big-endian increment; all 0xFF wraps to zero.
            for (int b = 15; b >= 0 && ++counter[b] == 0; --b) {
            }
        }
        out[i] = static_cast<unsigned char>(in[i] ^ keystream[k]);
    }
}

void LAUNCHER_CDECL aes_whitebox_decrypt_ctr(const unsigned char* iv, const unsigned char* in, std::uint32_t length,
                                             unsigned char* out) {
    aes_whitebox_encrypt_ctr(iv, in, length, out);
}

}  // extern "C"
