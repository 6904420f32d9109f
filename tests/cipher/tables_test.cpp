#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "cipher.h"
#include "cipher_test_support.h"
#include "whitebox.h"

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
    EXPECT_TRUE(whitebox::xor_tables_are_plain());
    const Bytes compiled = cfb(iv, plain);
    // The same key through nibble-encoded tables, on the general path.
    const Bytes encoded = wbgen::generate(key_from_hex(key_hex), seed, {true});
    whitebox::install_tables_blob(encoded.data());
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
