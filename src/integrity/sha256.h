#pragma once
// SHA-256 through the platform's own crypto: CNG on Windows
// (sha256_windows.cpp), OpenSSL's libcrypto elsewhere (sha256_posix.cpp).
#include <array>
#include <cstddef>
#include <memory>
#include <optional>

namespace launcherwindows::integrity {

class Sha256 {
public:
    using Digest = std::array<unsigned char, 32>;

    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    // False when this or an earlier step failed.
    bool update(const unsigned char* data, std::size_t size);
    // The digest, or nothing when any step failed.
    std::optional<Digest> finish();

private:
    struct State;
    std::unique_ptr<State> state_;  // the platform's handles
};

}  // namespace launcherwindows::integrity
