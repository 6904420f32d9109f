// White-box AES-256 encryption of one block over four lookup tables.
#include "whitebox.h"

#include <cstring>

#include "cipher.h"

namespace {

constexpr int kRounds = 13;

alignas(64) std::uint8_t g_xor[kRounds][96][256];
alignas(64) std::uint32_t g_round_input[kRounds][16][256];
alignas(64) std::uint32_t g_mixing[kRounds][16][256];
alignas(64) std::uint8_t g_final[16][256];
bool g_plain_xor = false;

static_assert(sizeof g_xor == whitebox::kXorTableBytes);
static_assert(sizeof g_round_input == whitebox::kRoundInputTableBytes);
static_assert(sizeof g_mixing == whitebox::kMixingTableBytes);
static_assert(sizeof g_final == whitebox::kFinalRoundTableBytes);

constexpr unsigned char kShift[16] = {0, 5, 10, 15, 4, 9, 14, 3, 8, 13, 2, 7, 12, 1, 6, 11};

// Folds the four words of a column into its four bytes through the column's
// 24 XOR tables, six per output byte b: X4[X0[w0 nibble][w1 nibble]]
// [X1[w2 nibble][w3 nibble]] for the high nibble (bits 28 - 8b), X5 over X2
// and X3 for the low one (bits 24 - 8b). The first-level indices of all four
// bytes are built at once by interleaving the nibbles of two words.
inline void combine(const std::uint8_t (*x)[256], const std::uint32_t w[4], unsigned char* out) {
    constexpr std::uint32_t kHigh = 0xf0f0f0f0u;
    constexpr std::uint32_t kLow = 0x0f0f0f0fu;
    const std::uint32_t high01 = (w[0] & kHigh) | ((w[1] >> 4) & kLow);
    const std::uint32_t high23 = (w[2] & kHigh) | ((w[3] >> 4) & kLow);
    const std::uint32_t low01 = ((w[0] << 4) & kHigh) | (w[1] & kLow);
    const std::uint32_t low23 = ((w[2] << 4) & kHigh) | (w[3] & kLow);
#pragma GCC unroll 4
    for (int b = 0; b < 4; ++b) {
        const std::uint8_t (*t)[256] = x + 6 * b;
        const int s = 24 - 8 * b;
        const unsigned hi = t[4][t[0][(high01 >> s) & 255] << 4 | t[1][(high23 >> s) & 255]];
        const unsigned lo = t[5][t[2][(low01 >> s) & 255] << 4 | t[3][(low23 >> s) & 255]];
        out[b] = static_cast<unsigned char>(hi << 4 | lo);
    }
}

}  // namespace

extern "C" {

void initializeCipher(const std::uint8_t* xor_tables, const std::uint32_t* round_input_tables,
                      const std::uint32_t* final_round_tables, const std::uint32_t* mixing_tables) {
    std::memcpy(g_xor, xor_tables, sizeof g_xor);
    std::memcpy(g_round_input, round_input_tables, sizeof g_round_input);
    std::memcpy(g_final, final_round_tables, sizeof g_final);
    std::memcpy(g_mixing, mixing_tables, sizeof g_mixing);

    // Entries hold 4-bit values; dropping anything above keeps every nested
    // look-up inside its table whatever the source holds.
    bool plain = true;
    for (auto& round : g_xor) {
        for (auto& table : round) {
            for (unsigned i = 0; i < 256; ++i) {
                table[i] &= 15;
                plain = plain && table[i] == ((i >> 4) ^ (i & 15));
            }
        }
    }
    g_plain_xor = plain;
}

void ShiftRows(unsigned char state[16]) {
    unsigned char in[16];
    std::memcpy(in, state, 16);
    for (int i = 0; i < 16; ++i) state[i] = in[kShift[i]];
}

void Cipher(unsigned char state[16]) {
    if (g_plain_xor) {
        whitebox::encrypt_block_plain_xor(state);
    } else {
        whitebox::encrypt_block_general(state);
    }
}

}  // extern "C"

namespace whitebox {

void install_tables_blob(const unsigned char* blob) {
    const auto words = [blob](std::uint32_t offset) { return reinterpret_cast<const std::uint32_t*>(blob + offset); };
    constexpr std::uint32_t round_input = kXorTableBytes;
    constexpr std::uint32_t mixing = round_input + kRoundInputTableBytes;
    constexpr std::uint32_t final_round = mixing + kMixingTableBytes;
    initializeCipher(blob, words(round_input), words(final_round), words(mixing));
}

bool xor_tables_are_plain() { return g_plain_xor; }

// Each round's ShiftRows is folded into its look-ups: column j of the shifted
// state is read straight from the previous state, and the round writes a
// second buffer.
void encrypt_block_general(unsigned char state[16]) {
    unsigned char buffers[2][16];
    std::memcpy(buffers[0], state, 16);
    for (int r = 0; r < kRounds; ++r) {
        const unsigned char* in = buffers[r & 1];
        unsigned char* out = buffers[(r + 1) & 1];
        // Columns are independent: all four round-input steps first, then all
        // four mixing steps, gives the processor more look-ups to overlap.
#pragma GCC unroll 4
        for (int j = 0; j < 4; ++j) {
            std::uint32_t w[4];
#pragma GCC unroll 4
            for (int b = 0; b < 4; ++b) w[b] = g_round_input[r][4 * j + b][in[kShift[4 * j + b]]];
            combine(&g_xor[r][24 * j], w, out + 4 * j);
        }
#pragma GCC unroll 4
        for (int j = 0; j < 4; ++j) {
            std::uint32_t w[4];
#pragma GCC unroll 4
            for (int b = 0; b < 4; ++b) w[b] = g_mixing[r][4 * j + b][out[4 * j + b]];
            combine(&g_xor[r][24 * j], w, out + 4 * j);
        }
    }
    std::memcpy(state, buffers[kRounds & 1], 16);
    ShiftRows(state);
    for (int p = 0; p < 16; ++p) state[p] = g_final[p][state[p]];
}

// With plain XOR tables the nibble tree is the XOR of the four words, so a
// column is four word look-ups and three XORs per step. Columns are kept as
// words with row 0 in the top byte, and ShiftRows becomes the choice of the
// column each row is read from.
void encrypt_block_plain_xor(unsigned char state[16]) {
    std::uint32_t c[4];
    for (int j = 0; j < 4; ++j) {
        c[j] = static_cast<std::uint32_t>(state[4 * j]) << 24 | static_cast<std::uint32_t>(state[4 * j + 1]) << 16 |
               static_cast<std::uint32_t>(state[4 * j + 2]) << 8 | state[4 * j + 3];
    }
    for (int r = 0; r < kRounds; ++r) {
        const std::uint32_t (*t)[256] = g_round_input[r];
        const std::uint32_t (*m)[256] = g_mixing[r];
        std::uint32_t n[4];
#pragma GCC unroll 4
        for (int j = 0; j < 4; ++j) {
            const std::uint32_t w = t[4 * j][c[j] >> 24] ^ t[4 * j + 1][(c[(j + 1) & 3] >> 16) & 255] ^
                                    t[4 * j + 2][(c[(j + 2) & 3] >> 8) & 255] ^ t[4 * j + 3][c[(j + 3) & 3] & 255];
            n[j] = m[4 * j][w >> 24] ^ m[4 * j + 1][(w >> 16) & 255] ^ m[4 * j + 2][(w >> 8) & 255] ^
                   m[4 * j + 3][w & 255];
        }
        std::memcpy(c, n, sizeof c);
    }
    for (int j = 0; j < 4; ++j) {
        for (int b = 0; b < 4; ++b) {
            const unsigned from = (c[(j + b) & 3] >> (24 - 8 * b)) & 255;
            state[4 * j + b] = g_final[4 * j + b][from];
        }
    }
}

}  // namespace whitebox
