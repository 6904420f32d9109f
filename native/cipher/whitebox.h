#pragma once
// The white-box AES block cipher over the installed tables. Internal to the
// native side; the modes in cipher.h are what callers use.
#include <cstdint>

extern "C" {
// One 16-byte block, encrypted in place (AES state order: 4 * column + row).
void Cipher(unsigned char state[16]);
void ShiftRows(unsigned char state[16]);
}

namespace whitebox {

inline constexpr std::uint32_t kXorTableBytes = 319488;
inline constexpr std::uint32_t kRoundInputTableBytes = 212992;
inline constexpr std::uint32_t kMixingTableBytes = 212992;
inline constexpr std::uint32_t kFinalRoundTableBytes = 4096;

// Installs tables from one blob laid out as XOR, round-input, mixing,
// final-round tables (the deployed file format), through initializeCipher.
void install_tables_blob(const unsigned char* blob);

// True when every installed XOR table is plain XOR, so Cipher takes the
// word-wide path.
bool xor_tables_are_plain();

// The most blocks encrypt_blocks evaluates side by side.
inline constexpr std::uint32_t kBatchBlocks = 32;

// Encrypts count (1 to kBatchBlocks) independent 16-byte blocks in place.
void encrypt_blocks(unsigned char* blocks, std::uint32_t count);

// The two implementations behind Cipher, for the tests and benchmarks.
void encrypt_block_general(unsigned char state[16]);
void encrypt_block_plain_xor(unsigned char state[16]);

}  // namespace whitebox
