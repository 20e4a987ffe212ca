#pragma once

#include <string_view>

namespace quillfen {

// Whether the signature file's bytes are the Ed25519 signature of the downloaded file's bytes by
// the key this build trusts for updates. False when the build holds no usable key, when the
// signature is not exactly 64 bytes, and when it does not verify.
bool hasValidUpdateSignature(std::string_view fileBytes, std::string_view signatureBytes);

}  // namespace quillfen
