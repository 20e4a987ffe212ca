#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "signature/Ed25519.h"
#include "signature/Sha512.h"

namespace quillfen {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes fromHex(std::string_view hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(
            static_cast<unsigned char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    }
    return bytes;
}

std::string toHex(std::span<const unsigned char> bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char byte : bytes) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex;
}

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

struct SignedMessage {
    Bytes publicKey;
    Bytes message;
    Bytes signature;
};

// RFC 8032, section 7.1: TEST 1, 2, 3 and SHA(abc).
const SignedMessage& rfcVector(int index) {
    static const std::vector<SignedMessage> vectors = {
        {fromHex("d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a"),
         {},
         fromHex("e5564300c360ac729086e2cc806e828a84877f1eb8e5d974d873e06522490155"
                 "5fb8821590a33bacc61e39701cf9b46bd25bf5f0595bbe24655141438e7a100b")},
        {fromHex("3d4017c3e843895a92b70aa74d1b7ebc9c982ccf2ec4968cc0cd55f12af4660c"), fromHex("72"),
         fromHex("92a009a9f0d4cab8720e820b5f642540a2b27b5416503f8fb3762223ebdb69da"
                 "085ac1e43e15996e458f3613d0f11d8c387b2eaeb4302aeeb00d291612bb0c00")},
        {fromHex("fc51cd8e6218a1a38da47ed00230f0580816ed13ba3303ac5deb911548908025"),
         fromHex("af82"),
         fromHex("6291d657deec24024827e69c3abe01a30ce548a284743a445e3680d7db5ac3ac"
                 "18ff9b538d16f290ae67f760984dc6594a7c15e9716ed28dc027beceea1ec40a")},
        {fromHex("ec172b93ad5e563bf4932c70e1245034c35467ef2efd4d64ebf819683467e2bf"),
         fromHex("ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
                 "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f"),
         fromHex("dc2a4459e7369633a52b1bf277839a00201009a3efbf3ecb69bea2186c26b589"
                 "09351fc9ac90b3ecfdfbc7c66431e0303dca179c138ac17ad9bef1177331a704")},
    };
    return vectors.at(static_cast<std::size_t>(index));
}

// Every case goes through the program's own verifier and through the installed platform's (the
// system's cryptography library where it has Ed25519), which must agree.
void expectVerdict(const SignedMessage& input, bool valid, const std::string& what) {
    EXPECT_EQ(signature::verifyEd25519Portable(input.publicKey, input.message, input.signature),
              valid)
        << what << " (own verifier)";
    EXPECT_EQ(platform::currentPlatform().signatures().verifyEd25519(input.publicKey, input.message,
                                                                     input.signature),
              valid)
        << what << " (platform)";
}

TEST(Sha512, GivesTheDigestsOfTheStandardExamplesWhateverPiecesTheyComeIn) {
    const std::string twoBlocks =
        "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqr"
        "lmnopqrsmnopqrstnopqrstu";
    const struct {
        std::string input;
        const char* digest;
    } cases[] = {
        {"",
         "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce"
         "47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538327af927da3e"},
        {"abc",
         "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
         "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f"},
        {twoBlocks,
         "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018"
         "501d289e4900f7e4331b99dec4b5433ac7d329eeb6dd26545e96e55b874be909"},
        {std::string(1000000, 'a'),
         "e718483d0ce769644e2e42c7bc15b4638e1f98b13b2044285632a803afa973eb"
         "de0ff244877ea60a4cb0432ce577c31beb009c5c2c49aa2e4eadb217ad8cc09b"},
    };
    for (const auto& c : cases) {
        const Bytes input = bytesOf(c.input);
        EXPECT_EQ(toHex(signature::Sha512::of(input)), c.digest) << c.input.size() << " bytes";
        // Pieces that end just before, at and after the 112-byte mark where padding spills over.
        for (const std::size_t piece : {1U, 111U, 112U, 127U, 129U}) {
            signature::Sha512 hash;
            for (std::size_t start = 0; start < input.size(); start += piece) {
                hash.add(std::span(input).subspan(start, std::min(piece, input.size() - start)));
            }
            EXPECT_EQ(toHex(hash.finish()), c.digest) << c.input.size() << " bytes in " << piece;
        }
    }
}

TEST(Ed25519, AcceptsTheReferenceSignatures) {
    for (int index = 0; index < 4; ++index) {
        expectVerdict(rfcVector(index), true, "RFC 8032 vector " + std::to_string(index));
    }
}

TEST(Ed25519, RejectsEveryAlteredSignatureKeyOrMessage) {
    // S + L: the same scalar modulo L, written as a number that is not below L.
    const auto withOrderAdded = [](Bytes signature) {
        const Bytes order =
            fromHex("edd3f55c1a631258d69cf7a2def9de1400000000000000000000000000000010");
        int carry = 0;
        for (std::size_t i = 0; i < 32; ++i) {
            const int sum = signature[32 + i] + order[i] + carry;
            signature[32 + i] = static_cast<unsigned char>(sum & 0xff);
            carry = sum >> 8;
        }
        return signature;
    };
    const auto flipped = [](Bytes bytes, std::size_t index, unsigned char bit = 1) {
        bytes.at(index) ^= bit;
        return bytes;
    };
    const auto overwritten = [](Bytes bytes, std::size_t index, const Bytes& part) {
        std::copy(part.begin(), part.end(), bytes.begin() + static_cast<std::ptrdiff_t>(index));
        return bytes;
    };
    const auto extended = [](Bytes bytes) {
        bytes.push_back(0);
        return bytes;
    };
    const SignedMessage& good = rfcVector(2);
    const Bytes& key = good.publicKey;
    const Bytes& message = good.message;
    const Bytes& sig = good.signature;
    // y = 2 has no x on the curve; y = p is not a canonical number.
    const Bytes offCurve =
        fromHex("0200000000000000000000000000000000000000000000000000000000000000");
    const Bytes notCanonical =
        fromHex("edffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff7f");

    const struct {
        const char* what;
        SignedMessage input;
    } cases[] = {
        {"bit flipped in the message", {key, flipped(message, 1, 0x80), sig}},
        {"bit flipped in R", {key, message, flipped(sig, 5)}},
        {"sign bit flipped in R", {key, message, flipped(sig, 31, 0x80)}},
        {"bit flipped in S", {key, message, flipped(sig, 40)}},
        {"S plus the group order", {key, message, withOrderAdded(sig)}},
        {"S all ones", {key, message, overwritten(sig, 32, Bytes(32, 0xff))}},
        {"another signer's key", {rfcVector(1).publicKey, message, sig}},
        {"key off the curve", {offCurve, message, sig}},
        {"key not canonical", {notCanonical, message, sig}},
        {"R off the curve", {key, message, overwritten(sig, 0, offCurve)}},
        {"signature one byte short", {key, message, Bytes(sig.begin(), sig.end() - 1)}},
        {"signature one byte long", {key, message, extended(sig)}},
        {"no signature", {key, message, {}}},
        {"key one byte short", {Bytes(key.begin(), key.end() - 1), message, sig}},
        {"no key", {{}, message, sig}},
        {"empty message in place of a signed one", {key, {}, sig}},
        {"message signed empty, checked with a byte",
         {rfcVector(0).publicKey, {0}, rfcVector(0).signature}},
        {"message with a byte more", {key, extended(message), sig}},
    };
    for (const auto& c : cases) {
        expectVerdict(c.input, false, c.what);
    }
}

// A key must be written as RFC 8032 decodes it. R the identity and S zero satisfy the equation for
// the identity as key; written with y = 1 + p, or with the sign bit of its zero x set, the key is
// refused, which OpenSSL 3.0 does not do (it reads both as the identity).
TEST(Ed25519, OwnVerifierRefusesKeysWrittenOtherwiseThanCanonically) {
    const Bytes identitySignature = fromHex(
        "0100000000000000000000000000000000000000000000000000000000000000"
        "0000000000000000000000000000000000000000000000000000000000000000");
    const Bytes message = bytesOf("any message");
    for (const char* key : {"eeffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff7f",
                            "0100000000000000000000000000000000000000000000000000000000000080"}) {
        EXPECT_FALSE(signature::verifyEd25519Portable(fromHex(key), message, identitySignature))
            << key;
    }
}

}  // namespace
}  // namespace quillfen
