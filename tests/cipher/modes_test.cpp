#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "cipher/cipher.h"
#include "cipher_test_support.h"
#include "cipher/whitebox.h"

using namespace cipher_test;

namespace {

struct ModePair {
    const char* name;
    ModeFn encrypt;
    ModeFn decrypt;
};

const ModePair kModes[] = {
    {"cfb", aes_whitebox_encrypt_cfb, aes_whitebox_decrypt_cfb},
    {"ofb", aes_whitebox_encrypt_ofb, aes_whitebox_decrypt_ofb},
    {"ctr", aes_whitebox_encrypt_ctr, aes_whitebox_decrypt_ctr},
};

Bytes run(ModeFn fn, const Bytes& iv, const Bytes& in) {
    Bytes out(in.size());
    fn(iv.data(), in.data(), static_cast<std::uint32_t>(in.size()), out.data());
    return out;
}

Bytes run_in_place(ModeFn fn, const Bytes& iv, Bytes data) {
    fn(iv.data(), data.data(), static_cast<std::uint32_t>(data.size()), data.data());
    return data;
}

// Both table kinds: plain XOR (word-wide path) and nibble-encoded (general path).
class Modes : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        wbgen::Options options;
        options.plain_xor = !GetParam();
        const Bytes t = wbgen::generate(key_from_hex(kNistKey), "modes", options);
        whitebox::install_tables_blob(t.data());
        ASSERT_EQ(whitebox::xor_tables_are_plain(), !GetParam());
    }
};

}  // namespace

TEST_P(Modes, NistSp800_38aVectors) {
    const Bytes plain = from_hex(kNistPlaintext);
    const Bytes iv = from_hex(kNistIv);
    const Bytes counter = from_hex(kNistCounter);
    EXPECT_EQ(to_hex(run(aes_whitebox_encrypt_cfb, iv, plain)), kNistCfb);
    EXPECT_EQ(to_hex(run(aes_whitebox_decrypt_cfb, iv, from_hex(kNistCfb))), kNistPlaintext);
    EXPECT_EQ(to_hex(run(aes_whitebox_encrypt_ofb, iv, plain)), kNistOfb);
    EXPECT_EQ(to_hex(run(aes_whitebox_decrypt_ofb, iv, from_hex(kNistOfb))), kNistPlaintext);
    EXPECT_EQ(to_hex(run(aes_whitebox_encrypt_ctr, counter, plain)), kNistCtr);
    EXPECT_EQ(to_hex(run(aes_whitebox_decrypt_ctr, counter, from_hex(kNistCtr))), kNistPlaintext);
}

TEST_P(Modes, RoundTripsEveryLengthInPlaceAndNot) {
    std::mt19937 rng(11);
    const Bytes iv = random_bytes(rng, 16);
    const Bytes iv_before = iv;
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 100; ++n) lengths.push_back(n);
    lengths.push_back(100003);
    for (const ModePair& mode : kModes) {
        for (std::size_t n : lengths) {
            const Bytes plain = random_bytes(rng, n);
            const Bytes cipher = run(mode.encrypt, iv, plain);
            ASSERT_EQ(run_in_place(mode.encrypt, iv, plain), cipher) << mode.name << " " << n;
            ASSERT_EQ(run(mode.decrypt, iv, cipher), plain) << mode.name << " " << n;
            // In-place decryption must read each ciphertext byte before its
            // output byte replaces it.
            ASSERT_EQ(run_in_place(mode.decrypt, iv, cipher), plain) << mode.name << " " << n;
            if (n >= 16) {
                ASSERT_NE(cipher, plain) << mode.name << " " << n;
            }
        }
    }
    EXPECT_EQ(iv, iv_before);
}

TEST_P(Modes, CfbAndOfbShareOnlyTheirFirstBlock) {
    std::mt19937 rng(5);
    const Bytes iv = random_bytes(rng, 16);
    const Bytes plain = random_bytes(rng, 40);
    const Bytes cfb = run(aes_whitebox_encrypt_cfb, iv, plain);
    const Bytes ofb = run(aes_whitebox_encrypt_ofb, iv, plain);
    EXPECT_TRUE(std::equal(cfb.begin(), cfb.begin() + 16, ofb.begin()));
    EXPECT_FALSE(std::equal(cfb.begin() + 16, cfb.end(), ofb.begin() + 16));
}

TEST_P(Modes, CounterIsA128BitBigEndianNumber) {
    // Each case: a counter and the one after it.
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"000102030405060708090a0b0c0d0e0f", "000102030405060708090a0b0c0d0e10"},
        {"000102030405060708090a0b0c0d0eff", "000102030405060708090a0b0c0d0f00"},
        {"0001020304050607ffffffffffffffff", "00010203040506080000000000000000"},
        {"7fffffffffffffffffffffffffffffff", "80000000000000000000000000000000"},
        {"ffffffffffffffffffffffffffffffff", "00000000000000000000000000000000"},
    };
    for (const auto& [first, second] : cases) {
        const Bytes counter = from_hex(first);
        // Over zeros the output is the keystream: E(counter) then E(counter + 1).
        const Bytes keystream = run(aes_whitebox_encrypt_ctr, counter, Bytes(32, 0));
        Bytes expected = from_hex(first);
        const Bytes next = from_hex(second);
        expected.insert(expected.end(), next.begin(), next.end());
        Cipher(expected.data());
        Cipher(expected.data() + 16);
        EXPECT_EQ(to_hex(keystream), to_hex(expected)) << first;
        EXPECT_EQ(to_hex(counter), first);
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, Modes, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& p) { return p.param ? "NibbleEncoded" : "PlainXor"; });

#ifdef LAUNCHER_TEST_HAVE_OPENSSL
TEST(ModesAgainstOpenSsl, EveryModeAndLength) {
    std::mt19937 rng(99);
    const std::string key_hex = to_hex(random_bytes(rng, 32));
    const wbgen::Key key = key_from_hex(key_hex);
    const Bytes t = wbgen::generate(key, "openssl");
    whitebox::install_tables_blob(t.data());
    const struct {
        const EVP_CIPHER* cipher;
        ModeFn encrypt;
    } modes[] = {{EVP_aes_256_cfb128(), aes_whitebox_encrypt_cfb},
                 {EVP_aes_256_ofb(), aes_whitebox_encrypt_ofb},
                 {EVP_aes_256_ctr(), aes_whitebox_encrypt_ctr}};
    for (const auto& mode : modes) {
        for (std::size_t n : {0, 1, 15, 16, 17, 31, 32, 33, 100, 4097, 65537}) {
            Bytes iv = random_bytes(rng, 16);
            if (mode.encrypt == aes_whitebox_encrypt_ctr) std::fill(iv.begin() + 8, iv.end(), 0xff);
            const Bytes plain = random_bytes(rng, n);
            EXPECT_EQ(to_hex(run(mode.encrypt, iv, plain)), to_hex(openssl_run(mode.cipher, key, iv.data(), plain)))
                << EVP_CIPHER_get0_name(mode.cipher) << " " << n;
        }
    }
    // CFB decryption differs from encryption; check it on its own.
    const Bytes iv = random_bytes(rng, 16);
    const Bytes cipher = random_bytes(rng, 1001);
    EXPECT_EQ(to_hex(run(aes_whitebox_decrypt_cfb, iv, cipher)),
              to_hex(openssl_run(EVP_aes_256_cfb128(), key, iv.data(), cipher, false)));
}
#endif
