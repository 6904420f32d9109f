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

void put_word(std::vector<std::uint8_t>& out, std::size_t offset, std::uint32_t w) {
    for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<std::uint8_t>(w >> (8 * i));
}

std::uint8_t byte_of(std::uint32_t w, int row) { return static_cast<std::uint8_t>(w >> (24 - 8 * row)); }
std::uint32_t word_of(std::uint8_t v, int row) { return static_cast<std::uint32_t>(v) << (24 - 8 * row); }

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
    for (auto& m : mixing) m = random_bijection<std::uint32_t, 32>(rng);
    std::vector<ByteEncoding> encoding(kTableRounds * 16);
    for (auto& e : encoding) e = random_bijection<std::uint8_t, 8>(rng);

    std::vector<std::uint8_t> out(kTablesBytes);

    for (int r = 0; r < kTableRounds; ++r) {
        for (int t = 0; t < 96; ++t) {
            std::uint8_t* x = &out[kXorOffset + (static_cast<std::size_t>(r) * 96 + t) * 256];
            for (int a = 0; a < 16; ++a)
                for (int b = 0; b < 16; ++b) x[a * 16 + b] = static_cast<std::uint8_t>(a ^ b);
        }
        if (options.nibble_encodings) {
            // Per run of six: X0..X3 encode their output, X4 and X5 decode it.
            for (int run = 0; run < 16; ++run) {
                std::uint8_t* x = &out[kXorOffset + (static_cast<std::size_t>(r) * 96 + run * 6) * 256];
                std::array<std::uint8_t, 16> f[4], inv[4];
                for (int k = 0; k < 4; ++k) {
                    f[k] = random_nibble_permutation(rng);
                    for (int v = 0; v < 16; ++v) inv[k][f[k][v]] = static_cast<std::uint8_t>(v);
                }
                for (int a = 0; a < 16; ++a) {
                    for (int b = 0; b < 16; ++b) {
                        for (int k = 0; k < 4; ++k) x[k * 256 + a * 16 + b] = f[k][a ^ b];
                        x[4 * 256 + a * 16 + b] = static_cast<std::uint8_t>(inv[0][a] ^ inv[1][b]);
                        x[5 * 256 + a * 16 + b] = static_cast<std::uint8_t>(inv[2][a] ^ inv[3][b]);
                    }
                }
            }
        }

        for (int p = 0; p < 16; ++p) {
            const int j = p / 4;
            const int row = p % 4;
            const int from = kShift[p];
            const Mixing& m = mixing[r * 4 + j];
            for (int in = 0; in < 256; ++in) {
                // Round-input: undo the previous round's byte encoding, then
                // AddRoundKey and SubBytes (ShiftRows is already done), this
                // byte's share of MixColumns, and the column's mixing bijection.
                const std::uint8_t plain =
                    r == 0 ? static_cast<std::uint8_t>(in)
                           : encoding[(r - 1) * 16 + from].inverse.apply(static_cast<std::uint8_t>(in));
                const std::uint8_t s = kSbox[plain ^ rk[r][from]];
                std::uint32_t w = 0;
                for (int i = 0; i < 4; ++i) w |= word_of(mul(kMixColumns[i][row], s), i);
                put_word(out, kRoundInputOffset + ((static_cast<std::size_t>(r) * 16 + p) * 256 + in) * 4,
                         m.forward.apply(w));

                // Mixing: take the column's bijection off this byte's share,
                // then put each output byte's encoding on.
                const std::uint32_t v = m.inverse.apply(word_of(static_cast<std::uint8_t>(in), row));
                std::uint32_t e = 0;
                for (int i = 0; i < 4; ++i) e |= word_of(encoding[r * 16 + j * 4 + i].forward.apply(byte_of(v, i)), i);
                put_word(out, kMixingOffset + ((static_cast<std::size_t>(r) * 16 + p) * 256 + in) * 4, e);
            }
        }
    }

    // Final round: undo the last encoding, AddRoundKey 13, SubBytes,
    // (ShiftRows is done by the cipher), AddRoundKey 14.
    for (int p = 0; p < 16; ++p) {
        const int from = kShift[p];
        for (int in = 0; in < 256; ++in) {
            const std::uint8_t plain = encoding[12 * 16 + from].inverse.apply(static_cast<std::uint8_t>(in));
            out[kFinalOffset + p * 256 + in] = static_cast<std::uint8_t>(kSbox[plain ^ rk[13][from]] ^ rk[14][p]);
        }
    }
    return out;
}

}  // namespace wbgen
