#pragma once

#include <span>

namespace quillfen::platform {

// Checks detached signatures, such as the one that vouches for a downloaded update.
class SignatureVerifier {
public:
    virtual ~SignatureVerifier() = default;

    // Whether the signature (64 bytes) is an Ed25519 signature (RFC 8032) of the message by the
    // public key (32 bytes). Any other size of key or signature is a failed check, not an error.
    virtual bool verifyEd25519(std::span<const unsigned char> publicKey,
                               std::span<const unsigned char> message,
                               std::span<const unsigned char> signature) const = 0;
};

}  // namespace quillfen::platform
