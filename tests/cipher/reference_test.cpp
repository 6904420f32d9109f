// The product's evaluator against one written straight from the table layout,
// on random tables: a layout slip made alike in tools/wbgen and the evaluator
// would pass every test with generated tables, but not this one.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "cipher/cipher.h"
#include "cipher_test_support.h"
#include "cipher/whitebox.h"

using cipher_test::Bytes;
using cipher_test::ModeFn;

namespace {

using Block = std::array<unsigned char, 16>;

struct Tables {
    std::vector<std::uint8_t> xor_tables = std::vector<std::uint8_t>(13 * 96 * 16 * 16);
    std::vector<std::uint32_t> round_input = std::vector<std::uint32_t>(13 * 16 * 256);
    std::vector<std::uint32_t> mixing = std::vector<std::uint32_t>(13 * 16 * 256);
    std::vector<std::uint32_t> final_words = std::vector<std::uint32_t>(1024);  // 16 x 256 bytes

    unsigned x(int r, int t, unsigned first, unsigned second) const {
        return xor_tables[((r * 96 + t) * 16 + first) * 16 + second] & 15;
    }
    std::uint32_t in(int r, int p, unsigned byte) const { return round_input[(r * 16 + p) * 256 + byte]; }
    std::uint32_t mix(int r, int p, unsigned byte) const { return mixing[(r * 16 + p) * 256 + byte]; }
    unsigned char fin(int p, unsigned byte) const {
        return reinterpret_cast<const unsigned char*>(final_words.data())[p * 256 + byte];
    }
};

// Random tables; with plain_xor the XOR entries are first ^ second, still
// with junk in the high bits.
Tables random_tables(std::mt19937& rng, bool plain_xor) {
    Tables t;
    for (std::size_t i = 0; i < t.xor_tables.size(); ++i) {
        const auto junk = static_cast<std::uint8_t>(rng() & 0xf0);
        const auto value = plain_xor ? ((i >> 4) ^ i) & 15 : rng() & 15;
        t.xor_tables[i] = static_cast<std::uint8_t>(junk | value);
    }
    for (auto& w : t.round_input) w = static_cast<std::uint32_t>(rng());
    for (auto& w : t.mixing) w = static_cast<std::uint32_t>(rng());
    for (auto& w : t.final_words) w = static_cast<std::uint32_t>(rng());
    return t;
}

void shift_rows(Block& s) {
    static constexpr int kFrom[16] = {0, 5, 10, 15, 4, 9, 14, 3, 8, 13, 2, 7, 12, 1, 6, 11};
    const Block in = s;
    for (int i = 0; i < 16; ++i) s[i] = in[kFrom[i]];
}

unsigned nibble(std::uint32_t word, int shift) { return (word >> shift) & 15; }

void combine(const Tables& t, int r, int j, const std::uint32_t w[4], Block& s) {
    for (int b = 0; b < 4; ++b) {
        const int h = 28 - 8 * b;
        const int l = 24 - 8 * b;
        const int x = 24 * j + 6 * b;  // X0 .. X5 are x .. x + 5
        const unsigned high = t.x(r, x + 4, t.x(r, x + 0, nibble(w[0], h), nibble(w[1], h)),
                                  t.x(r, x + 1, nibble(w[2], h), nibble(w[3], h)));
        const unsigned low = t.x(r, x + 5, t.x(r, x + 2, nibble(w[0], l), nibble(w[1], l)),
                                 t.x(r, x + 3, nibble(w[2], l), nibble(w[3], l)));
        s[4 * j + b] = static_cast<unsigned char>(high * 16 + low);
    }
}

void reference_cipher(const Tables& t, Block& s) {
    for (int r = 0; r < 13; ++r) {
        shift_rows(s);
        for (int j = 0; j < 4; ++j) {
            std::uint32_t w[4];
            for (int b = 0; b < 4; ++b) w[b] = t.in(r, 4 * j + b, s[4 * j + b]);
            combine(t, r, j, w, s);
            for (int b = 0; b < 4; ++b) w[b] = t.mix(r, 4 * j + b, s[4 * j + b]);
            combine(t, r, j, w, s);
        }
    }
    shift_rows(s);
    for (int p = 0; p < 16; ++p) s[p] = t.fin(p, s[p]);
}

enum class Mode { CfbEncrypt, CfbDecrypt, Ofb, Ctr };

Bytes reference_mode(const Tables& t, Mode mode, const Block& iv, const Bytes& in) {
    Block reg = iv;
    Block keystream{};
    Bytes out(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        const std::size_t k = i % 16;
        if (k == 0 && mode == Mode::Ctr) {
            keystream = reg;
            reference_cipher(t, keystream);
            for (int b = 15; b >= 0; --b) {
                if (++reg[b] != 0) break;
            }
        } else if (k == 0) {
            reference_cipher(t, reg);
        }
        switch (mode) {
            case Mode::CfbEncrypt: reg[k] ^= in[i]; out[i] = reg[k]; break;
            case Mode::CfbDecrypt: out[i] = reg[k] ^ in[i]; reg[k] = in[i]; break;
            case Mode::Ofb: out[i] = in[i] ^ reg[k]; break;
            case Mode::Ctr: out[i] = in[i] ^ keystream[k]; break;
        }
    }
    return out;
}

struct ModeCase {
    const char* name;
    ModeFn fn;
    Mode mode;
};

const ModeCase kModes[] = {
    {"encrypt_cfb", aes_whitebox_encrypt_cfb, Mode::CfbEncrypt},
    {"decrypt_cfb", aes_whitebox_decrypt_cfb, Mode::CfbDecrypt},
    {"encrypt_ofb", aes_whitebox_encrypt_ofb, Mode::Ofb},
    {"decrypt_ofb", aes_whitebox_decrypt_ofb, Mode::Ofb},
    {"encrypt_ctr", aes_whitebox_encrypt_ctr, Mode::Ctr},
    {"decrypt_ctr", aes_whitebox_decrypt_ctr, Mode::Ctr},
};

// The parameter: plain-XOR tables (word-wide path) or not (general path).
class ReferenceEvaluator : public testing::TestWithParam<bool> {};

}  // namespace

TEST_P(ReferenceEvaluator, AgreesOnRandomTablesBlocksAndModes) {
    std::mt19937 rng(GetParam() ? 1103 : 1009);
    for (int set = 0; set < 3; ++set) {
        const Tables t = random_tables(rng, GetParam());
        initializeCipher(t.xor_tables.data(), t.round_input.data(), t.final_words.data(), t.mixing.data());
        ASSERT_EQ(whitebox::xor_tables_are_plain(), GetParam());

        for (int i = 0; i < 1000; ++i) {
            Block block{};
            for (auto& c : block) c = static_cast<unsigned char>(rng());
            Block expected = block;
            reference_cipher(t, expected);
            Cipher(block.data());
            ASSERT_EQ(block, expected) << "table set " << set << ", block " << i;
        }

        // Lengths around block edges, and counters that carry and wrap.
        for (const std::size_t length : {0u, 1u, 15u, 16u, 17u, 100u, 1000u}) {
            Block iv{};
            for (auto& c : iv) c = static_cast<unsigned char>(rng());
            if (length == 100) std::memset(iv.data() + 13, 0xff, 3);
            if (length == 1000) iv.fill(0xff);
            Bytes in(length);
            for (auto& c : in) c = static_cast<unsigned char>(rng());
            for (const ModeCase& m : kModes) {
                Bytes out(length);
                m.fn(iv.data(), in.data(), static_cast<std::uint32_t>(length), out.data());
                ASSERT_EQ(out, reference_mode(t, m.mode, iv, in)) << m.name << ", length " << length;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, ReferenceEvaluator, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& p) { return p.param ? "WordWide" : "General"; });
