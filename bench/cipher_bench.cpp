// Throughput of the white-box CFB modes on both block paths (the generator's
// default tables and plain-XOR test tables), beside OpenSSL's AES-256-CFB,
// and the cost of installing the tables.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdlib>
#include <vector>

#include "cipher/cipher.h"
#include "wbgen.h"
#include "cipher/whitebox.h"

namespace {

const wbgen::Key kKey = *wbgen::parse_key("3b02fa64f6b344525e5c1c848897fd2c8db06e795c734ef444acaebbe1028ca8");
const unsigned char kIv[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

const std::vector<std::uint8_t>& tables(bool general) {
    static const std::vector<std::uint8_t> plain = wbgen::generate(kKey, "bench", {.plain_xor = true});
    static const std::vector<std::uint8_t> encoded = wbgen::generate(kKey, "bench");
    return general ? encoded : plain;
}

// range(0): bytes; range(1): 0 for plain XOR tables (word-wide path),
// 1 for the generator's default, nibble-encoded tables (general path).
template <bool Encrypt>
void BM_WhiteboxCfb(benchmark::State& state) {
    const bool general = state.range(1) != 0;
    whitebox::install_tables_blob(tables(general).data());
    if (whitebox::xor_tables_are_plain() == general) state.SkipWithError("wrong path");
    const auto n = static_cast<std::uint32_t>(state.range(0));
    std::vector<unsigned char> in(n, 0x5a);
    std::vector<unsigned char> out(n);
    for (auto _ : state) {
        if (Encrypt) {
            aes_whitebox_encrypt_cfb(kIv, in.data(), n, out.data());
        } else {
            aes_whitebox_decrypt_cfb(kIv, in.data(), n, out.data());
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * n);
    state.SetLabel(general ? "general path, default tables" : "plain-XOR path, test tables");
}

template <bool Encrypt>
void BM_OpenSslCfb(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    std::vector<unsigned char> in(static_cast<std::size_t>(n), 0x5a);
    std::vector<unsigned char> out(static_cast<std::size_t>(n));
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EVP_CipherInit_ex(ctx, EVP_aes_256_cfb128(), nullptr, kKey.data(), kIv, Encrypt ? 1 : 0);
    int len = 0;
    for (auto _ : state) {
        // A fresh IV per call, as each white-box call starts from its IV.
        EVP_CipherInit_ex(ctx, nullptr, nullptr, nullptr, kIv, -1);
        EVP_CipherUpdate(ctx, out.data(), &len, in.data(), n);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    EVP_CIPHER_CTX_free(ctx);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * n);
    const char* cap = std::getenv("OPENSSL_ia32cap");
    state.SetLabel(cap ? std::string("OPENSSL_ia32cap=") + cap : "OpenSSL default (AES-NI if present)");
}

void BM_InitializeCipher(benchmark::State& state) {
    const auto& t = tables(false);
    for (auto _ : state) {
        whitebox::install_tables_blob(t.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(t.size()));
}

void sizes_and_paths(benchmark::internal::Benchmark* b) {
    for (int path : {0, 1})
        for (int n : {16, 4096, 1 << 20}) b->Args({n, path});
}

void sizes(benchmark::internal::Benchmark* b) {
    for (int n : {16, 4096, 1 << 20}) b->Arg(n);
}

}  // namespace

BENCHMARK(BM_WhiteboxCfb<true>)->Name("WhiteboxCfbEncrypt")->Apply(sizes_and_paths);
BENCHMARK(BM_WhiteboxCfb<false>)->Name("WhiteboxCfbDecrypt")->Apply(sizes_and_paths);
BENCHMARK(BM_OpenSslCfb<true>)->Name("OpenSslAes256CfbEncrypt")->Apply(sizes);
BENCHMARK(BM_OpenSslCfb<false>)->Name("OpenSslAes256CfbDecrypt")->Apply(sizes);
BENCHMARK(BM_InitializeCipher)->Name("InitializeCipher");

BENCHMARK_MAIN();
