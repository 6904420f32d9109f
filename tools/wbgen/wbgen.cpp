#include "wbgen.h"

#include <bit>
#include <cstring>

namespace wbgen {

namespace {

constexpr std::uint8_t xtime(std::uint8_t a) {
    return static_cast<std::uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1b : 0));
}

constexpr std::uint8_t mul(std::uint8_t a, std::uint8_t b) {
    std::uint8_t r = 0;
    while (b) {
        if (b & 1) r ^= a;
        a = xtime(a);
        b >>= 1;
    }
    return r;
}

constexpr std::uint8_t rotl8(std::uint8_t v, int s) {
    return static_cast<std::uint8_t>((v << s) | (v >> (8 - s)));
}

constexpr std::array<std::uint8_t, 256> make_sbox() {
    std::array<std::uint8_t, 256> s{};
    for (int x = 0; x < 256; ++x) {
        // x^254 is the multiplicative inverse (0 stays 0), by square-and-multiply
        // to stay within clang's constant-evaluation step limit.
        std::uint8_t inv = 1;
        auto power = static_cast<std::uint8_t>(x);
        for (int e = 254; e != 0; e >>= 1) {
            if (e & 1) inv = mul(inv, power);
            power = mul(power, power);
        }
        if (x == 0) inv = 0;
        s[x] = static_cast<std::uint8_t>(inv ^ rotl8(inv, 1) ^ rotl8(inv, 2) ^ rotl8(inv, 3) ^ rotl8(inv, 4) ^
                                         0x63);
    }
    return s;
}

constexpr std::array<std::uint8_t, 256> kSbox = make_sbox();
static_assert(kSbox[0x00] == 0x63 && kSbox[0x53] == 0xed);

// Position p after ShiftRows takes the byte from position kShift[p] before it.
constexpr int kShift[16] = {0, 5, 10, 15, 4, 9, 14, 3, 8, 13, 2, 7, 12, 1, 6, 11};
constexpr std::uint8_t kMixColumns[4][4] = {{2, 3, 1, 1}, {1, 2, 3, 1}, {1, 1, 2, 3}, {3, 1, 1, 2}};

// xoshiro256** seeded through splitmix64 from an FNV-1a hash of the seed text.
class Rng {
public:
    explicit Rng(std::string_view seed) {
        std::uint64_t h = 0xcbf29ce484222325ULL;
        for (char c : seed) {
            h ^= static_cast<unsigned char>(c);
            h *= 0x100000001b3ULL;
        }
        for (auto& word : s_) {
            h += 0x9e3779b97f4a7c15ULL;
            std::uint64_t z = h;
            z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
            z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
            word = z ^ (z >> 31);
        }
    }
    std::uint64_t next() {
        const std::uint64_t result = std::rotl(s_[1] * 5, 7) * 9;
        const std::uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = std::rotl(s_[3], 45);
        return result;
    }

private:
    std::uint64_t s_[4];
};

// An N×N matrix over GF(2); row i is a bit mask over the input bits, and
// output bit i is the parity of row i AND the input.
template <typename W, int N>
struct BitMatrix {
    std::array<W, N> rows{};

    W apply(W v) const {
        W out = 0;
        for (int i = 0; i < N; ++i) out |= static_cast<W>((std::popcount(static_cast<W>(rows[i] & v)) & 1) << i);
        return out;
    }
};

// Gauss-Jordan elimination; false for a singular matrix.
template <typename W, int N>
bool invert(const BitMatrix<W, N>& m, BitMatrix<W, N>& inverse) {
    BitMatrix<W, N> a = m;
    for (int i = 0; i < N; ++i) inverse.rows[i] = static_cast<W>(W{1} << i);
    for (int c = 0; c < N; ++c) {
        const W bit = static_cast<W>(W{1} << c);
        int pivot = c;
        while (pivot < N && !(a.rows[pivot] & bit)) ++pivot;
        if (pivot == N) return false;
        std::swap(a.rows[c], a.rows[pivot]);
        std::swap(inverse.rows[c], inverse.rows[pivot]);
        for (int i = 0; i < N; ++i) {
            if (i != c && (a.rows[i] & bit)) {
                a.rows[i] ^= a.rows[c];
                inverse.rows[i] ^= inverse.rows[c];
            }
        }
    }
    return true;
}

template <typename W, int N>
struct Bijection {
    BitMatrix<W, N> forward;
    BitMatrix<W, N> inverse;
};

template <typename W, int N>
Bijection<W, N> random_bijection(Rng& rng) {
    Bijection<W, N> b;
    do {
        for (auto& row : b.forward.rows) row = static_cast<W>(rng.next());
    } while (!invert(b.forward, b.inverse));
    return b;
}

using Mixing = Bijection<std::uint32_t, 32>;
using ByteEncoding = Bijection<std::uint8_t, 8>;

std::array<std::uint8_t, 16> random_nibble_permutation(Rng& rng) {
    std::array<std::uint8_t, 16> p{};
    for (int i = 0; i < 16; ++i) p[i] = static_cast<std::uint8_t>(i);
    for (int i = 15; i > 0; --i) {
        const auto j = static_cast<std::size_t>(rng.next() % static_cast<std::uint64_t>(i + 1));
        std::swap(p[i], p[j]);
    }
    return p;
}

// Adds v to a basis over GF(2) held by highest set bit (basis[i]: a vector
// whose highest set bit is i); true when v was independent of it.
template <class T, int N>
bool add_to_basis(T (&basis)[N], T v) {
    for (int bit = N - 1; bit >= 0 && v; --bit) {
        if (!(v >> bit & 1)) continue;
        if (!basis[bit]) {
            basis[bit] = v;
            return true;
        }
        v = static_cast<T>(v ^ basis[bit]);
    }
    return false;
}

// True when some nonzero XOR of the output bits of f (a function of
// input_bits bits, output_bits wide) is an affine function of its input. A
// combination is affine exactly when it is zero on every second difference
// f(y) ^ f(y ^ a) ^ f(y ^ b) ^ f(y ^ a ^ b) over pairs of unit vectors, so none
// is when those differences span all output bits.
bool has_affine_component(const std::uint32_t* f, int input_bits, int output_bits) {
    std::uint32_t basis[32] = {};
    int rank = 0;
    for (int i = 0; i < input_bits && rank < output_bits; ++i) {
        for (int j = i + 1; j < input_bits && rank < output_bits; ++j) {
            const unsigned a = 1u << i, b = 1u << j;
            for (unsigned y = 0; y < (1u << input_bits) && rank < output_bits; ++y) {
                if (add_to_basis(basis, f[y] ^ f[y ^ a] ^ f[y ^ b] ^ f[y ^ a ^ b])) ++rank;
            }
        }
    }
    return rank < output_bits;
}

// A bijection on 4-bit values and its inverse.
struct NibbleCode {
    std::array<std::uint8_t, 16> forward;
    std::array<std::uint8_t, 16> inverse;
};

NibbleCode identity_code() {
    NibbleCode c{};
    for (int v = 0; v < 16; ++v) c.forward[v] = c.inverse[v] = static_cast<std::uint8_t>(v);
    return c;
}

// A random bijection none of whose output combinations, nor its inverse's,
// is affine: an XOR of encoded bits never gives a linear view of the value.
NibbleCode random_nibble_code(Rng& rng) {
    for (;;) {
        NibbleCode c{};
        c.forward = random_nibble_permutation(rng);
        for (int v = 0; v < 16; ++v) c.inverse[c.forward[v]] = static_cast<std::uint8_t>(v);
        std::uint32_t f[16], g[16];
        for (int v = 0; v < 16; ++v) {
            f[v] = c.forward[v];
            g[v] = c.inverse[v];
        }
        if (!has_affine_component(f, 4, 4) && !has_affine_component(g, 4, 4)) return c;
    }
}

// Encodes (or decodes) each nibble s of w with codes[s].
std::uint32_t encode_word(const NibbleCode* codes, std::uint32_t w) {
    std::uint32_t out = 0;
    for (int s = 0; s < 8; ++s) out |= static_cast<std::uint32_t>(codes[s].forward[(w >> (4 * s)) & 15]) << (4 * s);
    return out;
}

// The value of a state byte whose nibbles carry codes[1] (high) and codes[0] (low).
std::uint8_t decode_byte(const NibbleCode* codes, std::uint8_t x) {
    return static_cast<std::uint8_t>(codes[1].inverse[x >> 4] << 4 | codes[0].inverse[x & 15]);
}

void put_word(std::vector<std::uint8_t>& out, std::size_t offset, std::uint32_t w) {
    for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<std::uint8_t>(w >> (8 * i));
}

std::uint8_t byte_of(std::uint32_t w, int row) { return static_cast<std::uint8_t>(w >> (24 - 8 * row)); }
std::uint32_t word_of(std::uint8_t v, int row) { return static_cast<std::uint32_t>(v) << (24 - 8 * row); }

// The column that MixColumns makes of byte s in row `row` alone.
std::uint32_t mix_columns_share(int row, std::uint8_t s) {
    std::uint32_t w = 0;
    for (int i = 0; i < 4; ++i) w |= word_of(mul(kMixColumns[i][row], s), i);
    return w;
}

// True when every nibble of the mixed word depends on all of a byte's 8 bits
// through 4 independent combinations, for each row's share. A nibble that
// sees fewer takes at most 4 values, and every encoding of it then leaves
// some XOR of its bits affine in the byte.
bool spreads_every_byte(const Mixing& m) {
    for (int row = 0; row < 4; ++row) {
        for (int s = 0; s < 8; ++s) {
            std::uint8_t basis[4] = {};
            int rank = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const auto share = mix_columns_share(row, static_cast<std::uint8_t>(1 << bit));
                if (add_to_basis(basis, static_cast<std::uint8_t>((m.forward.apply(share) >> (4 * s)) & 15))) ++rank;
            }
            if (rank < 4) return false;
        }
    }
    return true;
}

}  // namespace

std::uint8_t sbox(std::uint8_t x) { return kSbox[x]; }
std::uint8_t gf_mul(std::uint8_t a, std::uint8_t b) { return mul(a, b); }

std::optional<Key> parse_key(std::string_view hex) {
    if (hex.size() != 64) return std::nullopt;
    Key key{};
    for (std::size_t i = 0; i < 64; ++i) {
        const char c = hex[i];
        int v;
        if (c >= '0' && c <= '9') v = c - '0';
        else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
        else return std::nullopt;
        key[i / 2] = static_cast<std::uint8_t>(key[i / 2] | (v << (i % 2 ? 0 : 4)));
    }
    return key;
}

RoundKeys expand_key(const Key& key) {
    std::uint8_t w[60][4];
    std::memcpy(w, key.data(), 32);
    std::uint8_t rcon = 1;
    for (int i = 8; i < 60; ++i) {
        std::uint8_t t[4] = {w[i - 1][0], w[i - 1][1], w[i - 1][2], w[i - 1][3]};
        if (i % 8 == 0) {
            const std::uint8_t first = t[0];
            t[0] = static_cast<std::uint8_t>(kSbox[t[1]] ^ rcon);
            t[1] = kSbox[t[2]];
            t[2] = kSbox[t[3]];
            t[3] = kSbox[first];
            rcon = xtime(rcon);
        } else if (i % 8 == 4) {
            for (auto& b : t) b = kSbox[b];
        }
        for (int k = 0; k < 4; ++k) w[i][k] = static_cast<std::uint8_t>(w[i - 8][k] ^ t[k]);
    }
    RoundKeys rk{};
    for (int r = 0; r < 15; ++r) std::memcpy(rk[r].data(), w[4 * r], 16);
    return rk;
}

std::vector<std::uint8_t> generate(const Key& key, std::string_view seed, Options options) {
    const RoundKeys rk = expand_key(key);
    Rng rng(seed);

    // mixing[r][j]: 32-bit bijection on column j of round r, put on by the
    // round-input tables and taken off by the mixing tables.
    // encoding[r][q]: byte bijection on state byte q after round r, put on by
    // the mixing tables and taken off by the next round-input or final tables.
    std::vector<Mixing> mixing(kTableRounds * 4);
    for (auto& m : mixing) {
        do m = random_bijection<std::uint32_t, 32>(rng);
        while (!spreads_every_byte(m));
    }
    std::vector<ByteEncoding> encoding(kTableRounds * 16);
    for (auto& e : encoding) e = random_bijection<std::uint8_t, 8>(rng);

    // The non-linear nibble encodings, drawn after the linear ones:
    // word_code[r][p][s]: on nibble s of every word the round-input and the
    // mixing table at (r, p) put out; both steps of a round go through the
    // same XOR tables, so the two tables must agree nibble by nibble.
    // sum_code[r][q][k]: on the output of X0..X3 of the run of state byte q.
    // state_code[r][q][h]: on the low (0) and high (1) nibble of state byte q
    // as X5 and X4 put it out, after either step.
    const NibbleCode identity = identity_code();
    std::vector<NibbleCode> word_code(kTableRounds * 16 * 8, identity);
    std::vector<NibbleCode> sum_code(kTableRounds * 16 * 4, identity);
    std::vector<NibbleCode> state_code(kTableRounds * 16 * 2, identity);
    if (!options.plain_xor) {
        for (int r = 0; r < kTableRounds; ++r) {
            for (int p = 0; p < 16; ++p) {
                NibbleCode* codes = &word_code[(r * 16 + p) * 8];
                for (;;) {
                    for (int s = 0; s < 8; ++s) codes[s] = random_nibble_code(rng);
                    if (r > 0) break;
                    // A round-0 table is y = S(x ^ k) put through linear maps and
                    // these codes; for the right key byte no XOR of its output
                    // bits may be affine in y.
                    std::uint32_t f[256];
                    for (int y = 0; y < 256; ++y) {
                        const std::uint32_t w = mixing[p / 4].forward.apply(mix_columns_share(p % 4, static_cast<std::uint8_t>(y)));
                        f[y] = encode_word(codes, w);
                    }
                    if (!has_affine_component(f, 8, 32)) break;
                }
            }
        }
        for (auto& c : sum_code) c = random_nibble_code(rng);
        for (auto& c : state_code) c = random_nibble_code(rng);
    }

    std::vector<std::uint8_t> out(kTablesBytes);

    for (int r = 0; r < kTableRounds; ++r) {
        // Run of state byte q = 4j + b: X0 and X1 add the high nibbles of the
        // column's four words (bits 28 - 8b), X2 and X3 the low ones (bits
        // 24 - 8b), X4 and X5 add those sums. Each table takes the encodings of
        // its inputs off and puts its own on.
        for (int q = 0; q < 16; ++q) {
            const int j = q / 4;
            const int b = q % 4;
            const NibbleCode* words = &word_code[(r * 16 + 4 * j) * 8];
            const NibbleCode* sums = &sum_code[(r * 16 + q) * 4];
            const NibbleCode* state = &state_code[(r * 16 + q) * 2];
            const int high = 7 - 2 * b;
            const int low = 6 - 2 * b;
            const NibbleCode* in[4][2] = {{&words[0 * 8 + high], &words[1 * 8 + high]},
                                          {&words[2 * 8 + high], &words[3 * 8 + high]},
                                          {&words[0 * 8 + low], &words[1 * 8 + low]},
                                          {&words[2 * 8 + low], &words[3 * 8 + low]}};
            std::uint8_t* x = &out[kXorOffset + (static_cast<std::size_t>(r) * 96 + 6 * q) * 256];
            for (int a = 0; a < 16; ++a) {
                for (int c = 0; c < 16; ++c) {
                    for (int k = 0; k < 4; ++k) {
                        x[k * 256 + a * 16 + c] = sums[k].forward[in[k][0]->inverse[a] ^ in[k][1]->inverse[c]];
                    }
                    x[4 * 256 + a * 16 + c] = state[1].forward[sums[0].inverse[a] ^ sums[1].inverse[c]];
                    x[5 * 256 + a * 16 + c] = state[0].forward[sums[2].inverse[a] ^ sums[3].inverse[c]];
                }
            }
        }

        for (int p = 0; p < 16; ++p) {
            const int j = p / 4;
            const int row = p % 4;
            const int from = kShift[p];
            const Mixing& m = mixing[r * 4 + j];
            const NibbleCode* codes = &word_code[(r * 16 + p) * 8];
            for (int in = 0; in < 256; ++in) {
                const auto byte = static_cast<std::uint8_t>(in);
                // Round-input: undo the previous round's encodings, then
                // AddRoundKey and SubBytes (ShiftRows is already done), this
                // byte's share of MixColumns, the column's mixing bijection and
                // the nibble encodings.
                const std::uint8_t plain =
                    r == 0 ? byte
                           : encoding[(r - 1) * 16 + from].inverse.apply(
                                 decode_byte(&state_code[((r - 1) * 16 + from) * 2], byte));
                const std::uint8_t s = kSbox[plain ^ rk[r][from]];
                put_word(out, kRoundInputOffset + ((static_cast<std::size_t>(r) * 16 + p) * 256 + in) * 4,
                         encode_word(codes, m.forward.apply(mix_columns_share(row, s))));

                // Mixing: take the nibble encodings and the column's bijection off
                // this byte's share, then put each output byte's encoding and the
                // nibble encodings on.
                const std::uint32_t v =
                    m.inverse.apply(word_of(decode_byte(&state_code[(r * 16 + p) * 2], byte), row));
                std::uint32_t e = 0;
                for (int i = 0; i < 4; ++i) e |= word_of(encoding[r * 16 + j * 4 + i].forward.apply(byte_of(v, i)), i);
                put_word(out, kMixingOffset + ((static_cast<std::size_t>(r) * 16 + p) * 256 + in) * 4,
                         encode_word(codes, e));
            }
        }
    }

    // Final round: undo the last encodings, AddRoundKey 13, SubBytes,
    // (ShiftRows is done by the cipher), AddRoundKey 14.
    for (int p = 0; p < 16; ++p) {
        const int from = kShift[p];
        for (int in = 0; in < 256; ++in) {
            const std::uint8_t plain = encoding[12 * 16 + from].inverse.apply(
                decode_byte(&state_code[(12 * 16 + from) * 2], static_cast<std::uint8_t>(in)));
            out[kFinalOffset + p * 256 + in] = static_cast<std::uint8_t>(kSbox[plain ^ rk[13][from]] ^ rk[14][p]);
        }
    }
    return out;
}

}  // namespace wbgen
