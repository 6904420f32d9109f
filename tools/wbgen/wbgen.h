#pragma once
// Generator of white-box AES-256 tables (Chow et al.) in the layout that
// initializeCipher takes: linear mixing bijections and byte encodings, and
// non-linear nibble encodings on every word and XOR table output. Portable
// C++ with no dependencies, so the same code runs as a build-time host tool
// and inside the tests on every target.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace wbgen {

inline constexpr int kTableRounds = 13;
inline constexpr std::size_t kXorBytes = 13 * 96 * 16 * 16;
inline constexpr std::size_t kRoundInputBytes = 13 * 16 * 256 * 4;
inline constexpr std::size_t kMixingBytes = 13 * 16 * 256 * 4;
inline constexpr std::size_t kFinalBytes = 16 * 256;
// One file: XOR, round-input, mixing, final-round tables, words little-endian.
inline constexpr std::size_t kXorOffset = 0;
inline constexpr std::size_t kRoundInputOffset = kXorOffset + kXorBytes;
inline constexpr std::size_t kMixingOffset = kRoundInputOffset + kRoundInputBytes;
inline constexpr std::size_t kFinalOffset = kMixingOffset + kMixingBytes;
inline constexpr std::size_t kTablesBytes = kFinalOffset + kFinalBytes;
static_assert(kTablesBytes == 749568);

using Key = std::array<std::uint8_t, 32>;
using RoundKeys = std::array<std::array<std::uint8_t, 16>, 15>;

struct Options {
    // Leaves out the non-linear nibble encodings: the XOR tables are plain XOR
    // and the words carry only the linear encodings. Test data for the
    // cipher's plain-XOR path and nothing else: each round-0 table is then a
    // linear map of S(x ^ k), which gives the key away.
    bool plain_xor = false;
};

// 64 hex digits, either case.
std::optional<Key> parse_key(std::string_view hex);

RoundKeys expand_key(const Key& key);
std::uint8_t sbox(std::uint8_t x);
std::uint8_t gf_mul(std::uint8_t a, std::uint8_t b);

// Deterministic for (key, seed, options) on every platform.
std::vector<std::uint8_t> generate(const Key& key, std::string_view seed, Options options = {});

}  // namespace wbgen
