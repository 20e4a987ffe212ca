#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <memory>
#include <random>
#include <vector>

#include "platform/linux/crypto/OpenSslSignatureVerifier.h"
#include "signature/Ed25519.h"

namespace quillfen {
namespace {

using Bytes = std::vector<unsigned char>;
using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using Context = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

struct Signed {
    Bytes publicKey;
    Bytes message;
    Bytes signature;
};

// A message signed by OpenSSL with the private key of the given seed.
Signed signWithOpenSsl(const Bytes& seed, const Bytes& message) {
    const Key key(EVP_PKEY_new_raw_private_key(EVP_PKEY_ED25519, nullptr, seed.data(), seed.size()),
                  EVP_PKEY_free);
    const Context context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    Signed result{Bytes(32), message, Bytes(64)};
    std::size_t keySize = result.publicKey.size();
    std::size_t signatureSize = result.signature.size();
    const unsigned char none = 0;
    if (!key || !context ||
        EVP_PKEY_get_raw_public_key(key.get(), result.publicKey.data(), &keySize) != 1 ||
        EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1 ||
        EVP_DigestSign(context.get(), result.signature.data(), &signatureSize,
                       message.empty() ? &none : message.data(), message.size()) != 1) {
        ADD_FAILURE() << "OpenSSL could not sign";
    }
    return result;
}

Bytes randomBytes(std::mt19937& random, std::size_t count) {
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes bytes(count);
    for (unsigned char& value : bytes) {
        value = static_cast<unsigned char>(byte(random));
    }
    return bytes;
}

// The program's own verifier against OpenSSL's over random keys and messages: each signature as
// made, then with one random bit flipped in the key, the message or the signature.
TEST(SignatureCrossCheck, OwnVerifierAgreesWithOpenSslOnRandomSignatures) {
    std::mt19937 random(20261208);
    const platform::OpenSslSignatureVerifier openSsl;
    for (int round = 0; round < 300; ++round) {
        const std::size_t messageSize = std::uniform_int_distribution<std::size_t>(0, 300)(random);
        Signed input = signWithOpenSsl(randomBytes(random, 32), randomBytes(random, messageSize));
        ASSERT_TRUE(
            signature::verifyEd25519Portable(input.publicKey, input.message, input.signature))
            << "round " << round;
        ASSERT_TRUE(openSsl.verifyEd25519(input.publicKey, input.message, input.signature));

        Bytes* parts[] = {&input.publicKey, &input.signature, &input.message};
        Bytes& part = *parts[static_cast<std::size_t>(round) % (input.message.empty() ? 2 : 3)];
        const std::size_t bit =
            std::uniform_int_distribution<std::size_t>(0, 8 * part.size() - 1)(random);
        part[bit / 8] ^= static_cast<unsigned char>(1U << (bit % 8));
        const bool own =
            signature::verifyEd25519Portable(input.publicKey, input.message, input.signature);
        EXPECT_EQ(own, openSsl.verifyEd25519(input.publicKey, input.message, input.signature))
            << "round " << round << ", bit " << bit;
        EXPECT_FALSE(own) << "round " << round << ", bit " << bit;
    }
}

}  // namespace
}  // namespace quillfen
