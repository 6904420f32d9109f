#pragma once
// The white-box AES cipher, its modes and the distribution key: plain
// functions with unmangled names, also handed by address to the native library.
#include <cstdint>

#include "cipher/cipher_api.h"

extern "C" {
void initializeCipher(const std::uint8_t* xor_tables, const std::uint32_t* round_input_tables,
                      const std::uint32_t* final_round_tables, const std::uint32_t* mixing_tables);

void LAUNCHER_CDECL aes_whitebox_encrypt_cfb(const unsigned char* iv, const unsigned char* in,
                                             std::uint32_t length, unsigned char* out);
void LAUNCHER_CDECL aes_whitebox_decrypt_cfb(const unsigned char* iv, const unsigned char* in,
                                             std::uint32_t length, unsigned char* out);
void LAUNCHER_CDECL aes_whitebox_encrypt_ofb(const unsigned char* iv, const unsigned char* in,
                                             std::uint32_t length, unsigned char* out);
void LAUNCHER_CDECL aes_whitebox_decrypt_ofb(const unsigned char* iv, const unsigned char* in,
                                             std::uint32_t length, unsigned char* out);
void LAUNCHER_CDECL aes_whitebox_encrypt_ctr(const unsigned char* iv, const unsigned char* in,
                                             std::uint32_t length, unsigned char* out);
void LAUNCHER_CDECL aes_whitebox_decrypt_ctr(const unsigned char* iv, const unsigned char* in,
                                             std::uint32_t length, unsigned char* out);
void LAUNCHER_CDECL distributionkey(unsigned char* out);
}

// Installs the tables compiled into this executable (initializeCipher).
void install_compiled_cipher_tables();
