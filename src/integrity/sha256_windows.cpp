#include "integrity/sha256.h"

#include <windows.h>
#include <bcrypt.h>

namespace launcherwindows::integrity {

struct Sha256::State {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool ok = false;
    ~State() {
        if (hash != nullptr) BCryptDestroyHash(hash);
        if (algorithm != nullptr) BCryptCloseAlgorithmProvider(algorithm, 0);
    }
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
    state_->ok = BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&state_->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
                 BCRYPT_SUCCESS(BCryptCreateHash(state_->algorithm, &state_->hash, nullptr, 0, nullptr, 0, 0));
}

Sha256::~Sha256() = default;

bool Sha256::update(const unsigned char* data, std::size_t size) {
    // PUCHAR: CNG does not write through it.
    if (state_->ok &&
        !BCRYPT_SUCCESS(BCryptHashData(state_->hash, const_cast<PUCHAR>(data), static_cast<ULONG>(size), 0)))
        state_->ok = false;
    return state_->ok;
}

std::optional<Sha256::Digest> Sha256::finish() {
    Digest digest{};
    if (!state_->ok || !BCRYPT_SUCCESS(BCryptFinishHash(state_->hash, digest.data(), static_cast<ULONG>(digest.size()), 0))) {
        state_->ok = false;
        return std::nullopt;
    }
    return digest;
}

}  // namespace launcherwindows::integrity
