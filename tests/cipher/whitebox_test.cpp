#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>

#include "cipher/cipher.h"
#include "cipher_test_support.h"
#include "cipher/whitebox.h"

using namespace cipher_test;

namespace {

Bytes tables(std::string_view key_hex, bool nibble_encodings, std::string_view seed = "block-tests") {
    wbgen::Options options;
    options.plain_xor = !nibble_encodings;
    return wbgen::generate(key_from_hex(key_hex), seed, options);
}

using Block = std::array<unsigned char, 16>;

Block block_from_hex(std::string_view hex) {
    Block b{};
    const Bytes v = from_hex(hex);
    std::memcpy(b.data(), v.data(), 16);
    return b;
}

Block random_block(std::mt19937& rng) {
    Block b{};
    for (auto& c : b) c = static_cast<unsigned char>(rng());
    return b;
}

// FIPS-197 C.3.
constexpr std::string_view kFipsKey = "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f";
constexpr std::string_view kFipsPlain = "00112233445566778899aabbccddeeff";
constexpr std::string_view kFipsCipher = "8ea2b7ca516745bfeafc49904b496089";

}  // namespace

TEST(WhiteboxBlock, EncryptsTheFips197Aes256ExampleOnBothPaths) {
    for (bool nibble : {false, true}) {
        const Bytes t = tables(kFipsKey, nibble);
        whitebox::install_tables_blob(t.data());
        EXPECT_EQ(whitebox::xor_tables_are_plain(), !nibble);
        Block b = block_from_hex(kFipsPlain);
        Cipher(b.data());
        EXPECT_EQ(to_hex(b.data(), 16), kFipsCipher) << "nibble encodings " << nibble;
    }
}

TEST(WhiteboxBlock, GeneralAndWordWidePathsAgree) {
    std::mt19937 rng(7);
    const Bytes plain = tables(kFipsKey, false);
    const Bytes encoded = tables(kFipsKey, true, "other-seed");
    for (int i = 0; i < 500; ++i) {
        const Block in = random_block(rng);
        Block general = in;
        Block wide = in;
        Block encoded_general = in;
        whitebox::install_tables_blob(plain.data());
        whitebox::encrypt_block_general(general.data());
        whitebox::encrypt_block_plain_xor(wide.data());
        whitebox::install_tables_blob(encoded.data());
        Cipher(encoded_general.data());
        ASSERT_EQ(general, wide) << "block " << to_hex(in.data(), 16);
        ASSERT_EQ(encoded_general, wide) << "block " << to_hex(in.data(), 16);
    }
}

TEST(WhiteboxBlock, HighBitsOfXorEntriesAreIgnored) {
    // A nibble table entry indexes the next table; bits above the nibble
    // must not take a look-up outside it.
    for (bool nibble : {false, true}) {
        Bytes t = tables(kFipsKey, nibble);
        for (std::size_t i = 0; i < wbgen::kXorBytes; ++i) t[i] = static_cast<unsigned char>(t[i] | ((i * 37) & 0xf0));
        whitebox::install_tables_blob(t.data());
        EXPECT_EQ(whitebox::xor_tables_are_plain(), !nibble);
        Block b = block_from_hex(kFipsPlain);
        Cipher(b.data());
        EXPECT_EQ(to_hex(b.data(), 16), kFipsCipher) << "nibble encodings " << nibble;
    }
    // One changed entry anywhere, here the very last one, means the general path.
    Bytes t = tables(kFipsKey, false);
    t[wbgen::kXorBytes - 1] ^= 1;
    whitebox::install_tables_blob(t.data());
    EXPECT_FALSE(whitebox::xor_tables_are_plain());
}

TEST(WhiteboxBlock, InstallationCopiesTheTables) {
    {
        Bytes t = tables(kFipsKey, true);
        whitebox::install_tables_blob(t.data());
        std::fill(t.begin(), t.end(), 0);
    }
    Block b = block_from_hex(kFipsPlain);
    Cipher(b.data());
    EXPECT_EQ(to_hex(b.data(), 16), kFipsCipher);
}

#ifdef LAUNCHER_TEST_HAVE_OPENSSL
TEST(WhiteboxBlock, MatchesOpenSslOnRandomKeysAndBlocks) {
    std::mt19937 rng(2024);
    for (int k = 0; k < 4; ++k) {
        const Bytes key_bytes = random_bytes(rng, 32);
        const std::string key_hex = to_hex(key_bytes);
        const wbgen::Key key = key_from_hex(key_hex);
        const Bytes plain_tables = tables(key_hex, false, "k" + std::to_string(k));
        const Bytes encoded_tables = tables(key_hex, true, "k" + std::to_string(k));
        const Bytes input = random_bytes(rng, 16 * 200);
        const Bytes expected = openssl_run(EVP_aes_256_ecb(), key, nullptr, input);
        for (const Bytes* t : {&plain_tables, &encoded_tables}) {
            whitebox::install_tables_blob(t->data());
            Bytes out = input;
            for (std::size_t i = 0; i < out.size(); i += 16) Cipher(out.data() + i);
            ASSERT_EQ(to_hex(out), to_hex(expected)) << "key " << key_hex << " nibble " << (t == &encoded_tables);
        }
    }
}
#endif
