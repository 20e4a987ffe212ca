#include "platform/linux/crypto/OpenSslSignatureVerifier.h"

#include <openssl/evp.h>

#include <memory>

namespace quillfen::platform {

namespace {

constexpr std::size_t kPublicKeySize = 32;
constexpr std::size_t kSignatureSize = 64;

using PublicKey = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using DigestContext = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

}  // namespace

bool OpenSslSignatureVerifier::verifyEd25519(std::span<const unsigned char> publicKey,
                                             std::span<const unsigned char> message,
                                             std::span<const unsigned char> signature) const {
    // The library would take a signature of another length as merely wrong, but a key of another
    // length is read as far as it goes; neither may reach it.
    if (publicKey.size() != kPublicKeySize || signature.size() != kSignatureSize) {
        return false;
    }
    const PublicKey key(
        EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, publicKey.data(), publicKey.size()),
        EVP_PKEY_free);
    const DigestContext context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    // Ed25519 hashes the message itself (SHA-512 over R, A and the message), so it takes no
    // digest of its own and the whole message at once.
    return key && context &&
           EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) == 1 &&
           EVP_DigestVerify(context.get(), signature.data(), signature.size(), message.data(),
                            message.size()) == 1;
}

}  // namespace quillfen::platform
