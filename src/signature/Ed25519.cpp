#include "signature/Ed25519.h"

#include "signature/EdwardsPoint.h"
#include "signature/GroupOrder.h"
#include "signature/Sha512.h"

namespace quillfen::signature {

namespace {

constexpr std::size_t kPublicKeySize = 32;
constexpr std::size_t kSignatureSize = 64;

}  // namespace

bool verifyEd25519Portable(std::span<const unsigned char> publicKey,
                           std::span<const unsigned char> message,
                           std::span<const unsigned char> signature) {
    if (publicKey.size() != kPublicKeySize || signature.size() != kSignatureSize) {
        return false;
    }
    const std::span<const std::uint8_t, 32> keyBytes = publicKey.first<32>();
    const std::span<const std::uint8_t, 32> rBytes = signature.first<32>();
    const std::span<const std::uint8_t, 32> sBytes = signature.last<32>();

    // A scalar S of L or more would let one signature be written in several ways.
    if (!GroupOrder::isReduced(sBytes)) {
        return false;
    }
    const std::optional<EdwardsPoint> key = EdwardsPoint::decode(keyBytes);
    const std::optional<EdwardsPoint> r = EdwardsPoint::decode(rBytes);
    if (!key || !r) {
        return false;
    }

    Sha512 hash;
    hash.add(rBytes);
    hash.add(keyBytes);
    hash.add(message);
    const Sha512::Digest digest = hash.finish();
    const GroupOrder::Scalar h = GroupOrder::reduce(digest);

    return EdwardsPoint::base().times(sBytes).encode() == (*r + key->times(h)).encode();
}

}  // namespace quillfen::signature
