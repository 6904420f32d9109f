#include <gtest/gtest.h>

#include <bitset>
#include <cstring>
#include <random>

#include "cipher/cipher.h"
#include "cipher_test_support.h"
#include "cipher/whitebox.h"

using namespace cipher_test;

// Embedded by the build: the tables of the product, and tables the host tool
// wrote to a file for the NIST key, embedded the way a deployed file is.
extern "C" const unsigned char launcher_whitebox_tables[];
extern "C" const unsigned char launcher_test_imported_tables[];

namespace {

std::uint32_t word_at(const Bytes& t, std::size_t offset, int r, int p, int x) {
    const std::size_t i = offset + ((static_cast<std::size_t>(r) * 16 + p) * 256 + x) * 4;
    return static_cast<std::uint32_t>(t[i]) | static_cast<std::uint32_t>(t[i + 1]) << 8 |
           static_cast<std::uint32_t>(t[i + 2]) << 16 | static_cast<std::uint32_t>(t[i + 3]) << 24;
}

std::uint8_t byte_of(std::uint32_t w, int row) { return static_cast<std::uint8_t>(w >> (24 - 8 * row)); }

std::string decode_hex_text(const char* hex) {
    std::string s;
    for (unsigned char c : from_hex(hex)) s += static_cast<char>(c);
    return s;
}

std::size_t rank(std::vector<std::bitset<256>> rows) {
    std::size_t r = 0;
    for (int col = 0; col < 256 && r < rows.size(); ++col) {
        std::size_t pivot = r;
        while (pivot < rows.size() && !rows[pivot][col]) ++pivot;
        if (pivot == rows.size()) continue;
        std::swap(rows[r], rows[pivot]);
        for (std::size_t i = r + 1; i < rows.size(); ++i)
            if (rows[i][col]) rows[i] ^= rows[r];
        ++r;
    }
    return r;
}

// True when some XOR of the low `width` output bits of f, a function of one
// byte y, is a non-constant affine function of y: when adding the truth
// tables of y0 .. y7 to those bits and the constant 1 adds fewer than 8 to
// their rank.
bool has_affine_component(const std::uint32_t (&f)[256], int width) {
    std::vector<std::bitset<256>> rows(1);
    rows[0].set();
    for (int bit = 0; bit < width; ++bit) {
        std::bitset<256> v;
        for (int y = 0; y < 256; ++y) v[y] = f[y] >> bit & 1;
        rows.push_back(v);
    }
    const std::size_t without = rank(rows);
    for (int i = 0; i < 8; ++i) {
        std::bitset<256> v;
        for (int y = 0; y < 256; ++y) v[y] = y >> i & 1;
        rows.push_back(v);
    }
    return rank(rows) < without + 8;
}

// Key-byte guesses k for which a round-0 table at position p is affine in
// S(x ^ k), or some XOR of its output bits is: the first step of every
// cheap algebraic attack on the layout. Likewise S^-1(F(x) ^ k) for the
// final table at p.
std::vector<int> round0_guesses(const unsigned char* t, int p, std::uint8_t (&sbox_inverse)[256]) {
    std::vector<int> found;
    for (int k = 0; k < 256; ++k) {
        std::uint32_t f[256];
        for (int y = 0; y < 256; ++y) {
            const std::size_t i = wbgen::kRoundInputOffset + (static_cast<std::size_t>(p) * 256 + (sbox_inverse[y] ^ k)) * 4;
            f[y] = static_cast<std::uint32_t>(t[i]) | static_cast<std::uint32_t>(t[i + 1]) << 8 |
                   static_cast<std::uint32_t>(t[i + 2]) << 16 | static_cast<std::uint32_t>(t[i + 3]) << 24;
        }
        if (has_affine_component(f, 32)) found.push_back(k);
    }
    return found;
}

std::vector<int> final_guesses(const unsigned char* t, int p, std::uint8_t (&sbox_inverse)[256]) {
    std::vector<int> found;
    for (int k = 0; k < 256; ++k) {
        std::uint32_t f[256];
        for (int x = 0; x < 256; ++x) f[x] = sbox_inverse[t[wbgen::kFinalOffset + p * 256 + x] ^ k];
        if (has_affine_component(f, 8)) found.push_back(k);
    }
    return found;
}

Bytes cfb(const Bytes& iv, const Bytes& in) {
    Bytes out(in.size());
    aes_whitebox_encrypt_cfb(iv.data(), in.data(), static_cast<std::uint32_t>(in.size()), out.data());
    return out;
}

}  // namespace

TEST(WhiteboxTables, RoundKeysAndTBoxesAreNotVisible) {
    const Bytes t = wbgen::generate(key_from_hex(kNistKey), "visibility");
    constexpr std::uint8_t mc[4][4] = {{2, 3, 1, 1}, {1, 2, 3, 1}, {1, 1, 2, 3}, {3, 1, 1, 2}};
    for (int r = 0; r < 13; ++r) {
        for (int p = 0; p < 16; ++p) {
            const int row = p % 4;
            // No key byte k makes the table the plain T-box S(x ^ k) * column.
            for (int k = 0; k < 256; ++k) {
                bool plain = true;
                for (int x = 0; x < 256 && plain; ++x) {
                    const std::uint8_t s = wbgen::sbox(static_cast<std::uint8_t>(x ^ k));
                    for (int i = 0; i < 4; ++i)
                        plain = plain && byte_of(word_at(t, wbgen::kRoundInputOffset, r, p, x), i) ==
                                             wbgen::gf_mul(mc[i][row], s);
                }
                ASSERT_FALSE(plain) << "round " << r << " position " << p << " key byte " << k;
            }
            // Without the 32-bit mixing, the byte under MixColumns factor 2
            // would be twice the byte under factor 1 for every input.
            int two = 0, one = 0;
            for (int i = 0; i < 4; ++i) {
                if (mc[i][row] == 2) two = i;
                if (mc[i][row] == 1) one = i;
            }
            bool linked = true;
            for (int x = 0; x < 256 && linked; ++x) {
                const std::uint32_t w = word_at(t, wbgen::kRoundInputOffset, r, p, x);
                linked = byte_of(w, two) == wbgen::gf_mul(2, byte_of(w, one));
            }
            EXPECT_FALSE(linked) << "round " << r << " position " << p;
            // The mixing tables are not the plain placement of a byte in its row.
            bool placement = true;
            for (int z = 0; z < 256 && placement; ++z)
                placement =
                    word_at(t, wbgen::kMixingOffset, r, p, z) == static_cast<std::uint32_t>(z) << (24 - 8 * row);
            EXPECT_FALSE(placement) << "round " << r << " position " << p;
        }
    }
    // The final tables are no S(x ^ k) ^ c: the last byte encodings are in them.
    for (int p = 0; p < 16; ++p) {
        const unsigned char* f = &t[wbgen::kFinalOffset + p * 256];
        for (int k = 0; k < 256; ++k) {
            const int c = f[0] ^ wbgen::sbox(static_cast<std::uint8_t>(k));
            bool plain = true;
            for (int x = 1; x < 256 && plain; ++x) plain = (f[x] ^ wbgen::sbox(static_cast<std::uint8_t>(x ^ k))) == c;
            ASSERT_FALSE(plain) << "position " << p << " key byte " << k;
        }
    }
}

TEST(WhiteboxTables, NoKeyByteGuessMakesARoundZeroOrFinalTableAffine) {
    std::uint8_t sbox_inverse[256];
    for (int x = 0; x < 256; ++x) sbox_inverse[wbgen::sbox(static_cast<std::uint8_t>(x))] = static_cast<std::uint8_t>(x);
    constexpr int kShift[16] = {0, 5, 10, 15, 4, 9, 14, 3, 8, 13, 2, 7, 12, 1, 6, 11};

    // Plain-XOR tables show what is looked for: exactly the right key byte.
    const wbgen::Key key = key_from_hex("9e1c4a07d2b83f6e15a0c97d4b2e8f3061d5a9c20b7e4f1839ac6d52e0f7b4a1");
    const wbgen::RoundKeys rk = wbgen::expand_key(key);
    const Bytes weak = wbgen::generate(key, "property", {.plain_xor = true});
    for (int p : {0, 7}) {
        EXPECT_EQ(round0_guesses(weak.data(), p, sbox_inverse), std::vector<int>{rk[0][kShift[p]]}) << p;
        EXPECT_EQ(final_guesses(weak.data(), p, sbox_inverse), std::vector<int>{rk[14][p]}) << p;
    }

    // The product's tables, when generated, and another key's.
    const Bytes other = wbgen::generate(key, "property");
    std::vector<std::pair<const char*, const unsigned char*>> sets = {{"other key", other.data()}};
    if (!std::string(LAUNCHER_TEST_COMPILED_KEY).empty()) sets.emplace_back("embedded", launcher_whitebox_tables);
    for (const auto& [name, t] : sets) {
        for (int p = 0; p < 16; ++p) {
            EXPECT_EQ(round0_guesses(t, p, sbox_inverse), std::vector<int>{}) << name << " round-0 table " << p;
            EXPECT_EQ(final_guesses(t, p, sbox_inverse), std::vector<int>{}) << name << " final table " << p;
        }
    }
}

TEST(WhiteboxTables, SeedChoosesTheBijectionsNotTheCipher) {
    const wbgen::Key key = key_from_hex(kNistKey);
    const Bytes a = wbgen::generate(key, "seed-a");
    const Bytes b = wbgen::generate(key, "seed-b");
    EXPECT_EQ(wbgen::generate(key, "seed-a"), a);
    for (std::size_t offset : {wbgen::kRoundInputOffset, wbgen::kMixingOffset, wbgen::kFinalOffset}) {
        EXPECT_NE(std::memcmp(a.data() + offset, b.data() + offset, 1024), 0) << offset;
    }
    std::mt19937 rng(3);
    const Bytes iv = random_bytes(rng, 16);
    const Bytes plain = random_bytes(rng, 333);
    whitebox::install_tables_blob(a.data());
    const Bytes with_a = cfb(iv, plain);
    whitebox::install_tables_blob(b.data());
    EXPECT_EQ(cfb(iv, plain), with_a);
}

TEST(CompiledCipher, ImportedTablesFileGivesTheGeneratedResults) {
    const Bytes generated =
        wbgen::generate(key_from_hex(kNistKey), decode_hex_text(LAUNCHER_TEST_IMPORTED_SEED_HEX));
    ASSERT_EQ(std::memcmp(launcher_test_imported_tables, generated.data(), generated.size()), 0);
    whitebox::install_tables_blob(launcher_test_imported_tables);
    EXPECT_EQ(to_hex(cfb(from_hex(kNistIv), from_hex(kNistPlaintext))), kNistCfb);
}

TEST(CompiledCipher, EmbeddedTablesAreTheGeneratorsForTheConfiguredKey) {
    const std::string key_hex = LAUNCHER_TEST_COMPILED_KEY;
    if (key_hex.empty()) GTEST_SKIP() << "the build embeds deployed tables";
    const std::string seed = decode_hex_text(LAUNCHER_TEST_COMPILED_SEED_HEX);
    const Bytes generated = wbgen::generate(key_from_hex(key_hex), seed);
    EXPECT_EQ(std::memcmp(launcher_whitebox_tables, generated.data(), generated.size()), 0);

    std::mt19937 rng(8);
    const Bytes iv = random_bytes(rng, 16);
    const Bytes plain = random_bytes(rng, 1000);
    install_compiled_cipher_tables();
    EXPECT_FALSE(whitebox::xor_tables_are_plain());
    const Bytes compiled = cfb(iv, plain);
    // The same key through plain-XOR tables, on the word-wide path.
    const Bytes plain_xor = wbgen::generate(key_from_hex(key_hex), seed, {.plain_xor = true});
    whitebox::install_tables_blob(plain_xor.data());
    EXPECT_TRUE(whitebox::xor_tables_are_plain());
    EXPECT_EQ(to_hex(cfb(iv, plain)), to_hex(compiled));
#ifdef LAUNCHER_TEST_HAVE_OPENSSL
    EXPECT_EQ(to_hex(compiled), to_hex(openssl_run(EVP_aes_256_cfb128(), key_from_hex(key_hex), iv.data(), plain)));
#endif
}

TEST(CompiledCipher, DistributionKeyIsTheConfiguredValueAndOnly48Bytes) {
    Bytes out(64, 0xa5);
    distributionkey(out.data());
    EXPECT_EQ(to_hex(out.data(), 48), LAUNCHER_TEST_DISTRIBUTION_KEY_HEX);
    EXPECT_EQ(out[48], 0xa5);
    EXPECT_EQ(out[63], 0xa5);
    Bytes again(48);
    distributionkey(again.data());
    EXPECT_TRUE(std::equal(again.begin(), again.end(), out.begin()));
}
