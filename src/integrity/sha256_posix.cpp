#include "integrity/sha256.h"

#include <openssl/evp.h>

namespace launcherwindows::integrity {

struct Sha256::State {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context{EVP_MD_CTX_new(), EVP_MD_CTX_free};
    bool ok = false;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
    state_->ok = state_->context && EVP_DigestInit_ex(state_->context.get(), EVP_sha256(), nullptr) == 1;
}

Sha256::~Sha256() = default;

bool Sha256::update(const unsigned char* data, std::size_t size) {
    if (state_->ok && EVP_DigestUpdate(state_->context.get(), data, size) != 1) state_->ok = false;
    return state_->ok;
}

std::optional<Sha256::Digest> Sha256::finish() {
    Digest digest{};
    unsigned int length = 0;
    if (!state_->ok || EVP_DigestFinal_ex(state_->context.get(), digest.data(), &length) != 1 ||
        length != digest.size()) {
        state_->ok = false;
        return std::nullopt;
    }
    return digest;
}

}  // namespace launcherwindows::integrity
