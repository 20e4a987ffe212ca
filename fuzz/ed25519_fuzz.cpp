// The program's own Ed25519 verifier against OpenSSL's as the oracle. An input whose first byte
// is even is taken as it is: a public key, a signature, and the message. An odd first byte makes
// OpenSSL sign the message with a key from the input's seed, after which the input may flip bits
// of the key, the signature or the message and add the group order to S. Both verifiers must give
// the same verdict, and a signature left as OpenSSL made it must pass.
#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <memory>
#include <span>
#include <vector>

#include "FuzzSupport.h"
#include "platform/linux/crypto/OpenSslSignatureVerifier.h"
#include "signature/Ed25519.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Signed {
    Bytes publicKey;
    Bytes signature;
    Bytes message;
};

Bytes take(quillfen::fuzz::InputFields& fields, std::size_t count) {
    Bytes bytes(count);
    for (unsigned char& byte : bytes) {
        byte = static_cast<unsigned char>(fields.byte());
    }
    return bytes;
}

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Signed signWithOpenSsl(const Bytes& seed, Bytes message) {
    using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
    using Context = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;
    const Key key(EVP_PKEY_new_raw_private_key(EVP_PKEY_ED25519, nullptr, seed.data(), seed.size()),
                  EVP_PKEY_free);
    const Context context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    Signed result{Bytes(32), Bytes(64), std::move(message)};
    std::size_t keySize = result.publicKey.size();
    std::size_t signatureSize = result.signature.size();
    const unsigned char none = 0;
    FUZZ_CHECK(key && context);
    FUZZ_CHECK(EVP_PKEY_get_raw_public_key(key.get(), result.publicKey.data(), &keySize) == 1);
    FUZZ_CHECK(EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get()) == 1);
    FUZZ_CHECK(EVP_DigestSign(context.get(), result.signature.data(), &signatureSize,
                              result.message.empty() ? &none : result.message.data(),
                              result.message.size()) == 1);
    return result;
}

void addGroupOrderToS(Bytes& signature) {
    static constexpr std::array<unsigned char, 32> kOrder = {
        0xed, 0xd3, 0xf5, 0x5c, 0x1a, 0x63, 0x12, 0x58, 0xd6, 0x9c, 0xf7,
        0xa2, 0xde, 0xf9, 0xde, 0x14, 0,    0,    0,    0,    0,    0,
        0,    0,    0,    0,    0,    0,    0,    0,    0,    0x10};
    unsigned carry = 0;
    for (std::size_t i = 0; i < kOrder.size(); ++i) {
        const unsigned sum = signature[32 + i] + kOrder[i] + carry;
        signature[32 + i] = static_cast<unsigned char>(sum & 0xff);
        carry = sum >> 8;
    }
}

// Flips bits chosen by the input: a count, then per flip which part, where and which bits.
bool flipBits(quillfen::fuzz::InputFields& fields, Signed& input) {
    bool flipped = false;
    for (unsigned count = fields.byte() % 4; count > 0; --count) {
        Bytes* parts[] = {&input.publicKey, &input.signature, &input.message};
        Bytes& part = *parts[fields.byte() % 3];
        const unsigned position = fields.byte() * 256 + fields.byte();
        const auto mask = static_cast<unsigned char>(fields.byte());
        if (!part.empty() && mask != 0) {
            part[position % part.size()] ^= mask;
            flipped = true;
        }
    }
    return flipped;
}

// OpenSSL decodes a key y >= p as y - p, and a zero x with its sign bit set as zero, both of which
// RFC 8032 refuses: the only keys on which the two may differ.
bool isKeyOnlyOpenSslDecodes(const Bytes& key) {
    const bool middleAllOnes = std::all_of(key.begin() + 1, key.end() - 1,
                                           [](unsigned char byte) { return byte == 0xff; });
    const bool middleAllZeros =
        std::all_of(key.begin() + 1, key.end() - 1, [](unsigned char byte) { return byte == 0; });
    const unsigned top = key[31] & 0x7f;
    const bool signBit = (key[31] & 0x80) != 0;
    const bool atLeastPrime = middleAllOnes && top == 0x7f && key[0] >= 0xed;
    const bool yIsOne = middleAllZeros && top == 0 && key[0] == 1;
    const bool yIsMinusOne = middleAllOnes && top == 0x7f && key[0] == 0xec;
    return atLeastPrime || (signBit && (yIsOne || yIsMinusOne));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillfen::fuzz::InputFields fields(data, size);
    const unsigned mode = fields.byte();
    Signed input;
    bool mustPass = false;
    if (mode % 2 == 0) {
        input.publicKey = take(fields, 32);
        input.signature = take(fields, 64);
        input.message = bytesOf(fields.rest());
    } else {
        const Bytes seed = take(fields, 32);
        input = signWithOpenSsl(seed, bytesOf(fields.text()));
        const bool flipped = flipBits(fields, input);
        const bool orderAdded = (mode & 2) != 0;
        if (orderAdded) {
            addGroupOrderToS(input.signature);
        }
        mustPass = !flipped && !orderAdded;
    }

    const bool own =
        quillfen::signature::verifyEd25519Portable(input.publicKey, input.message, input.signature);
    const bool openSsl = quillfen::platform::OpenSslSignatureVerifier().verifyEd25519(
        input.publicKey, input.message, input.signature);
    FUZZ_CHECK(own == openSsl || (openSsl && isKeyOnlyOpenSslDecodes(input.publicKey)));
    FUZZ_CHECK(!mustPass || own);
    return 0;
}
