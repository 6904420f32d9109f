// Stream modes over the white-box block cipher. Keystream is made one block
// per 16 bytes, and a final partial block needs no padding. Blocks are XORed
// whole; where the blocks of the keystream do not depend on each other (CFB
// decryption, CTR) a batch of them is encrypted side by side.
#include <cstring>

#include "cipher/cipher.h"
#include "cipher/whitebox.h"

namespace {

constexpr std::uint32_t kBlock = 16;

// out = a XOR b for one block; both are read before out is written, so out
// may be either of them.
inline void xor_block(unsigned char* out, const unsigned char* a, const unsigned char* b) {
    std::uint64_t x[2];
    std::uint64_t y[2];
    std::memcpy(x, a, kBlock);
    std::memcpy(y, b, kBlock);
    x[0] ^= y[0];
    x[1] ^= y[1];
    std::memcpy(out, x, kBlock);
}

// A final partial block: its bytes XORed with the first of the block encrypted.
inline void xor_partial_block(unsigned char block[16], const unsigned char* in, std::uint32_t count,
                              unsigned char* out) {
    Cipher(block);
    for (std::uint32_t k = 0; k < count; ++k) out[k] = static_cast<unsigned char>(block[k] ^ in[k]);
}

// The whole blocks of a mode whose keystream blocks do not depend on each
// other: fill(keystream, offset, n) lays out the inputs of the next n, which
// are encrypted side by side and XORed onto the input after fill has read
// it, so the output may be the input buffer itself. The bytes done.
template <class Fill>
std::uint32_t xor_batches(const unsigned char* in, std::uint32_t length, unsigned char* out, Fill fill) {
    alignas(16) unsigned char keystream[whitebox::kBatchBlocks][16];
    std::uint32_t i = 0;
    while (length - i >= kBlock) {
        std::uint32_t n = (length - i) / kBlock;
        if (n > whitebox::kBatchBlocks) n = whitebox::kBatchBlocks;
        fill(keystream, i, n);
        whitebox::encrypt_blocks(keystream[0], n);
        for (std::uint32_t b = 0; b < n; ++b, i += kBlock) xor_block(out + i, in + i, keystream[b]);
    }
    return i;
}

// 128-bit big-endian increment; all 0xFF wraps to zero.
inline void increment(unsigned char counter[16]) {
    for (int b = 15; b >= 0 && ++counter[b] == 0; --b) {
    }
}

}  // namespace

extern "C" {

void LAUNCHER_CDECL aes_whitebox_encrypt_cfb(const unsigned char* iv, const unsigned char* in, std::uint32_t length,
                                             unsigned char* out) {
    unsigned char reg[16];
    std::memcpy(reg, iv, kBlock);
    std::uint32_t i = 0;
    for (; length - i >= kBlock; i += kBlock) {
        Cipher(reg);
        xor_block(reg, reg, in + i);
        std::memcpy(out + i, reg, kBlock);
    }
    if (i < length) xor_partial_block(reg, in + i, length - i, out + i);
}

// The keystream of a batch is the encryption of the block before each
// ciphertext block, copied out before any output is written, so the output
// may be the input buffer itself.
void LAUNCHER_CDECL aes_whitebox_decrypt_cfb(const unsigned char* iv, const unsigned char* in, std::uint32_t length,
                                             unsigned char* out) {
    unsigned char previous[16];
    std::memcpy(previous, iv, kBlock);
    const std::uint32_t i =
        xor_batches(in, length, out, [&](unsigned char (*keystream)[16], std::uint32_t at, std::uint32_t n) {
            std::memcpy(keystream[0], previous, kBlock);
            std::memcpy(keystream[1], in + at, (n - 1) * kBlock);
            std::memcpy(previous, in + at + (n - 1) * kBlock, kBlock);
        });
    if (i < length) xor_partial_block(previous, in + i, length - i, out + i);
}

void LAUNCHER_CDECL aes_whitebox_encrypt_ofb(const unsigned char* iv, const unsigned char* in, std::uint32_t length,
                                             unsigned char* out) {
    unsigned char reg[16];
    std::memcpy(reg, iv, kBlock);
    std::uint32_t i = 0;
    for (; length - i >= kBlock; i += kBlock) {
        Cipher(reg);
        xor_block(out + i, in + i, reg);
    }
    if (i < length) xor_partial_block(reg, in + i, length - i, out + i);
}

void LAUNCHER_CDECL aes_whitebox_decrypt_ofb(const unsigned char* iv, const unsigned char* in, std::uint32_t length,
                                             unsigned char* out) {
    aes_whitebox_encrypt_ofb(iv, in, length, out);
}

void LAUNCHER_CDECL aes_whitebox_encrypt_ctr(const unsigned char* iv, const unsigned char* in, std::uint32_t length,
                                             unsigned char* out) {
    unsigned char counter[16];
    std::memcpy(counter, iv, kBlock);
    const std::uint32_t i = xor_batches(in, length, out, [&](unsigned char (*keystream)[16], std::uint32_t, std::uint32_t n) {
        for (std::uint32_t b = 0; b < n; ++b) {
            std::memcpy(keystream[b], counter, kBlock);
            increment(counter);
        }
    });
    if (i < length) xor_partial_block(counter, in + i, length - i, out + i);
}

void LAUNCHER_CDECL aes_whitebox_decrypt_ctr(const unsigned char* iv, const unsigned char* in, std::uint32_t length,
                                             unsigned char* out) {
    aes_whitebox_encrypt_ctr(iv, in, length, out);
}

}  // extern "C"
