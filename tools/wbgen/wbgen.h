#pragma once
// Generator of white-box AES-256 tables (Chow et al.) in the layout that
// initializeCipher takes. Portable C++ with no dependencies, so the same code
// runs as a build-time host tool and inside the tests on every target.
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
    // Random 4-bit bijections on the outputs of the first XOR level, removed by
    // the second: the XOR tables are then no plain XOR (as in Chow's
    // construction), which forces the cipher onto its general path.
    bool nibble_encodings = false;
};

// 64 hex digits, either case.
std::optional<Key> parse_key(std::string_view hex);

RoundKeys expand_key(const Key& key);
std::uint8_t sbox(std::uint8_t x);
std::uint8_t gf_mul(std::uint8_t a, std::uint8_t b);

// Deterministic for (key, seed, options) on every platform.
std::vector<std::uint8_t> generate(const Key& key, std::string_view seed, Options options = {});

}  // namespace wbgen
