#pragma once

#include "platform/SignatureVerifier.h"
#include "signature/Ed25519.h"

namespace quillfen::platform {

// Signature checks in the program's own code, for systems whose cryptography library has no
// Ed25519 and for programs that load no cryptography library.
class PortableSignatureVerifier final : public SignatureVerifier {
public:
    bool verifyEd25519(std::span<const unsigned char> publicKey,
                       std::span<const unsigned char> message,
                       std::span<const unsigned char> signature) const override {
        return signature::verifyEd25519Portable(publicKey, message, signature);
    }
};

}  // namespace quillfen::platform
