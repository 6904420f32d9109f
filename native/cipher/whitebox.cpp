// White-box AES-256 encryption of blocks over four lookup tables.
#include "cipher/whitebox.h"

#include <bit>
#include <cstring>
#include <utility>

#include "cipher/cipher.h"

namespace {

constexpr int kRounds = 13;

alignas(64) std::uint8_t g_xor[kRounds][96][256];
alignas(64) std::uint32_t g_round_input[kRounds][16][256];
alignas(64) std::uint32_t g_mixing[kRounds][16][256];
alignas(64) std::uint8_t g_final[16][256];
bool g_plain_xor = false;

// A second working copy of the XOR tables for the single block (see
// lay_out_pairs): per round, kind k (X0|X1, X2|X3, X4|X5) and column pair,
// row i holds entry i of the eight runs of the two columns.
alignas(64) std::uint8_t g_pairs[kRounds][3][2][256][8];

static_assert(sizeof g_xor == whitebox::kXorTableBytes);
static_assert(sizeof g_round_input == whitebox::kRoundInputTableBytes);
static_assert(sizeof g_mixing == whitebox::kMixingTableBytes);
static_assert(sizeof g_final == whitebox::kFinalRoundTableBytes);

constexpr unsigned char kShift[16] = {0, 5, 10, 15, 4, 9, 14, 3, 8, 13, 2, 7, 12, 1, 6, 11};
constexpr std::uint32_t kLowNibbles = 0x0f0f0f0fu;
constexpr std::uint32_t kHighNibbles = 0xf0f0f0f0u;

std::uint32_t swap_nibbles(std::uint32_t w) { return ((w >> 4) & kLowNibbles) | ((w << 4) & kHighNibbles); }

// A single block cannot share its lines with other blocks, and its time goes
// mostly on fetching lines from the second-level cache: one line for a
// nibble. So the copy it reads packs its tables densely:
// - each byte holds the two tables of a pair, the even one (its values times
//   16) in the high nibble and the odd one in the low nibble, as OR puts them
//   together; nothing is composed or taken off;
// - the runs of two columns are interleaved row by row, eight bytes a row, so
//   the look-ups of a round spread over all of its 12 KB: about 121 lines a
//   round, against 168 for tables of their own.
// Reads the XOR tables after their entries are shifted and transposed.
void lay_out_pairs() {
    for (int r = 0; r < kRounds; ++r)
        for (int run = 0; run < 16; ++run)
            for (int k = 0; k < 3; ++k)
                for (int i = 0; i < 256; ++i)
                    g_pairs[r][k][run >> 3][i][run & 7] =
                        g_xor[r][6 * run + 2 * k][i] | g_xor[r][6 * run + 2 * k + 1][i];
}

// Installation lays the working copy out for the general path. It changes
// only how entries are stored, never what a table computes: no encoding is
// taken off and no two tables are merged.
// - X0, X2 and X4 of every run hold their values times 16, the high nibble of
//   the index they feed or of the state byte, so putting one together is an OR;
// - X2 and X3 are transposed (second nibble first), and when the XOR tables
//   are not plain the words at odd positions have the nibbles of each byte
//   swapped: the indices of a pair of words then come out of three XORs and
//   an AND (pair_indices).
// The plain-XOR path reads the words as they came.
void lay_out_for_evaluation() {
    for (auto& round : g_xor) {
        for (int t = 0; t < 96; ++t) {
            std::uint8_t* x = round[t];
            const int k = t % 6;
            if (k == 2 || k == 3) {
                for (int a = 0; a < 16; ++a)
                    for (int b = a + 1; b < 16; ++b) std::swap(x[a * 16 + b], x[b * 16 + a]);
            }
            if (k % 2 == 0) {
                for (int i = 0; i < 256; ++i) x[i] = static_cast<std::uint8_t>(x[i] << 4);
            }
        }
    }
    lay_out_pairs();
    if (g_plain_xor) return;
    for (int r = 0; r < kRounds; ++r) {
        for (int p = 1; p < 16; p += 2) {
            for (auto& w : g_round_input[r][p]) w = swap_nibbles(w);
            for (auto& w : g_mixing[r][p]) w = swap_nibbles(w);
        }
    }
}

// The first-level indices of the words at an even and the next odd position
// of a column: byte k of `high` indexes X0 (X1) and byte k of `low` the
// transposed X2 (X3), both for output byte 3 - k.
template <bool SwappedWords>
inline void pair_indices(std::uint32_t even, std::uint32_t odd, std::uint32_t& high, std::uint32_t& low) {
    if constexpr (SwappedWords) {
        const std::uint32_t d = (even ^ odd) & kLowNibbles;
        high = even ^ d;
        low = odd ^ d;
    } else {
        high = (even & kHighNibbles) | ((odd >> 4) & kLowNibbles);
        low = ((odd << 4) & kHighNibbles) | (even & kLowNibbles);
    }
}

// The 24 XOR tables of column j fold its four words into four bytes: byte b
// is X4[X0[..] | X1[..]] | X5[X2[..] | X3[..]] over the six tables of run b.
inline unsigned char fold(const std::uint8_t (*run)[256], unsigned i0, unsigned i1, unsigned i2, unsigned i3) {
    const unsigned high = run[0][i0] | run[1][i1];
    const unsigned low = run[2][i2] | run[3][i3];
    return static_cast<unsigned char>(run[4][high] | run[5][low]);
}

// GCC narrows the nibble arithmetic below to bytes and then widens each index
// again with an extra instruction; a value that passes through here stays wide.
inline unsigned wide(unsigned v) {
    __asm__("" : "+r"(v));
    return v;
}

// Entry i of run c of a column pair's kind in the paired copy: the high
// nibble (the even table's value times 16) or the low nibble.
inline unsigned high_of(const std::uint8_t (*kind)[8], unsigned i, int c) { return wide(kind[i][c]) & 0xf0u; }
inline unsigned low_of(const std::uint8_t (*kind)[8], unsigned i, int c) { return wide(kind[i][c]) & 0x0fu; }

// Where the processor has registers enough (16 on x86-64), a step keeps its
// indices in them; with the 7 of i686 they would only be spilled, and reading
// the bytes back from memory is about 3 % faster there.
constexpr bool kIndicesInRegisters = sizeof(void*) >= 8;

// One step of a round for one block: the 16 word look-ups and their
// XOR-table indices, then the two levels of XOR tables.
// - With the indices in registers, column by column, each index taken out of
//   its word by a shift: the compiler then starts a column's first-level
//   look-ups before the last one's second level, about 7 % faster than
// - a pass for each level, all 64 first-level look-ups, then all 32
//   second-level ones, each reading its indices back from memory.
// The round-input step reads its bytes through ShiftRows, the mixing step the
// bytes the round-input step wrote.
template <bool SwappedWords, bool MixingStep>
inline void step_one(const std::uint8_t (*pairs)[2][256][8], const std::uint32_t (*words)[256], const unsigned char* in,
                     unsigned char* out) {
    alignas(16) std::uint32_t index[4][4];  // column: X0, X1, X2, X3; byte 3 - b for output byte b
#pragma GCC unroll 4
    for (int j = 0; j < 4; ++j) {
        std::uint32_t w[4];
#pragma GCC unroll 4
        for (int b = 0; b < 4; ++b) w[b] = words[4 * j + b][in[MixingStep ? 4 * j + b : kShift[4 * j + b]]];
        pair_indices<SwappedWords>(w[0], w[1], index[j][0], index[j][2]);
        pair_indices<SwappedWords>(w[2], w[3], index[j][1], index[j][3]);
    }
    if constexpr (kIndicesInRegisters) {
#pragma GCC unroll 4
        for (int j = 0; j < 4; ++j) {
            const std::uint8_t (*x01)[8] = pairs[0][j >> 1];
            const std::uint8_t (*x23)[8] = pairs[1][j >> 1];
            const std::uint8_t (*x45)[8] = pairs[2][j >> 1];
            unsigned s0[4], s1[4];
#pragma GCC unroll 4
            for (int b = 0; b < 4; ++b) {
                const int c = (j & 1) * 4 + b;
                const int shift = 24 - 8 * b;
                s0[b] = high_of(x01, (index[j][0] >> shift) & 255u, c) | low_of(x01, (index[j][1] >> shift) & 255u, c);
                s1[b] = high_of(x23, (index[j][2] >> shift) & 255u, c) | low_of(x23, (index[j][3] >> shift) & 255u, c);
            }
#pragma GCC unroll 4
            for (int b = 0; b < 4; ++b) {
                const int c = (j & 1) * 4 + b;
                out[4 * j + b] = static_cast<unsigned char>(high_of(x45, s0[b], c) | low_of(x45, s1[b], c));
            }
        }
    } else {
        // Without these the compiler takes the bytes out of registers with shifts.
        __asm__("" : "+m"(index));
        const auto* bytes = reinterpret_cast<const unsigned char*>(index);
        alignas(16) unsigned char second[2][16];  // X4 and X5 indices of each output byte
#pragma GCC unroll 4
        for (int j = 0; j < 4; ++j) {
#pragma GCC unroll 4
            for (int b = 0; b < 4; ++b) {
                // Byte 3 - b (0 = least significant) of each word of column j.
                const unsigned char* i = bytes + 16 * j + (std::endian::native == std::endian::little ? 3 - b : b);
                const int c = (j & 1) * 4 + b;
                const std::uint8_t (*x01)[8] = pairs[0][j >> 1];
                const std::uint8_t (*x23)[8] = pairs[1][j >> 1];
                second[0][4 * j + b] = static_cast<unsigned char>(high_of(x01, i[0], c) | low_of(x01, i[4], c));
                second[1][4 * j + b] = static_cast<unsigned char>(high_of(x23, i[8], c) | low_of(x23, i[12], c));
            }
        }
        __asm__("" : "+m"(second));
#pragma GCC unroll 4
        for (int j = 0; j < 4; ++j) {
#pragma GCC unroll 4
            for (int b = 0; b < 4; ++b) {
                const int c = (j & 1) * 4 + b;
                const int o = 4 * j + b;
                const std::uint8_t (*x45)[8] = pairs[2][j >> 1];
                out[o] = static_cast<unsigned char>(high_of(x45, second[0][o], c) | low_of(x45, second[1][o], c));
            }
        }
    }
}

template <bool SwappedWords>
void encrypt_one(unsigned char state[16]) {
    alignas(16) unsigned char mixed[16];
#pragma GCC unroll 1
    for (int r = 0; r < kRounds; ++r) {
        step_one<SwappedWords, false>(g_pairs[r], g_round_input[r], state, mixed);
        step_one<SwappedWords, true>(g_pairs[r], g_mixing[r], mixed, state);
    }
    unsigned char in[16];
    std::memcpy(in, state, 16);
    for (int p = 0; p < 16; ++p) state[p] = g_final[p][in[kShift[p]]];
}

// One column of one step for a block of a batch; the indices stay in
// registers, as the other blocks' look-ups fill the wait for these.
inline void column_many(const std::uint8_t (*x)[256], std::uint32_t w0, std::uint32_t w1, std::uint32_t w2,
                        std::uint32_t w3, unsigned char* out) {
    std::uint32_t h01, h23, l01, l23;
    pair_indices<true>(w0, w1, h01, l01);
    pair_indices<true>(w2, w3, h23, l23);
#pragma GCC unroll 4
    for (int b = 0; b < 4; ++b) {
        const int s = 24 - 8 * b;
        out[b] = fold(x + 6 * b, std::uint8_t(h01 >> s), std::uint8_t(h23 >> s), std::uint8_t(l01 >> s),
                      std::uint8_t(l23 >> s));
    }
}

// Several blocks, round by round, and in each round the round-input step of
// every block before the mixing steps: each round's tables are fetched once
// for the batch.
void encrypt_many(unsigned char* blocks, std::uint32_t count) {
    alignas(16) unsigned char mixed[whitebox::kBatchBlocks][16];
    for (int r = 0; r < kRounds; ++r) {
        const std::uint8_t (*x)[256] = g_xor[r];
        const std::uint32_t (*t)[256] = g_round_input[r];
        const std::uint32_t (*m)[256] = g_mixing[r];
        for (std::uint32_t n = 0; n < count; ++n) {
            const unsigned char* s = blocks + 16 * n;
#pragma GCC unroll 4
            for (int j = 0; j < 4; ++j) {
                column_many(x + 24 * j, t[4 * j][s[kShift[4 * j]]], t[4 * j + 1][s[kShift[4 * j + 1]]],
                            t[4 * j + 2][s[kShift[4 * j + 2]]], t[4 * j + 3][s[kShift[4 * j + 3]]],
                            mixed[n] + 4 * j);
            }
        }
        for (std::uint32_t n = 0; n < count; ++n) {
            const unsigned char* s = mixed[n];
#pragma GCC unroll 4
            for (int j = 0; j < 4; ++j) {
                column_many(x + 24 * j, m[4 * j][s[4 * j]], m[4 * j + 1][s[4 * j + 1]], m[4 * j + 2][s[4 * j + 2]],
                            m[4 * j + 3][s[4 * j + 3]], blocks + 16 * n + 4 * j);
            }
        }
    }
    for (std::uint32_t n = 0; n < count; ++n) {
        unsigned char* state = blocks + 16 * n;
        unsigned char in[16];
        std::memcpy(in, state, 16);
        for (int p = 0; p < 16; ++p) state[p] = g_final[p][in[kShift[p]]];
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
    lay_out_for_evaluation();
}

void ShiftRows(unsigned char state[16]) {
    unsigned char in[16];
    std::memcpy(in, state, 16);
    for (int i = 0; i < 16; ++i) state[i] = in[kShift[i]];
}

void Cipher(unsigned char state[16]) { whitebox::encrypt_blocks(state, 1); }

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

void encrypt_blocks(unsigned char* blocks, std::uint32_t count) {
    if (g_plain_xor) {
        for (std::uint32_t n = 0; n < count; ++n) encrypt_block_plain_xor(blocks + 16 * n);
    } else if (count == 1) {
        encrypt_one<true>(blocks);
    } else {
        encrypt_many(blocks, count);
    }
}

void encrypt_block_general(unsigned char state[16]) {
    if (g_plain_xor) {
        encrypt_one<false>(state);
    } else {
        encrypt_one<true>(state);
    }
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
