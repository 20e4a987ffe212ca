#pragma once

#include "platform/SignatureVerifier.h"

namespace quillfen::platform {

// Signature checks through OpenSSL's libcrypto.
class OpenSslSignatureVerifier final : public SignatureVerifier {
public:
    bool verifyEd25519(std::span<const unsigned char> publicKey,
                       std::span<const unsigned char> message,
                       std::span<const unsigned char> signature) const override;
};

}  // namespace quillfen::platform
