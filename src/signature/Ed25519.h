#pragma once

#include <span>

namespace quillfen::signature {

// Whether the signature (64 bytes: R, then S) is an Ed25519 signature (RFC 8032) of the message by
// the public key (32 bytes), checked with nothing but the standard library: for systems whose
// own cryptography has no Ed25519. Keys and signatures of other sizes fail the check.
bool verifyEd25519Portable(std::span<const unsigned char> publicKey,
                           std::span<const unsigned char> message,
                           std::span<const unsigned char> signature);

}  // namespace quillfen::signature
