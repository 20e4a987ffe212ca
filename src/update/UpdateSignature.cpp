#include "update/UpdateSignature.h"

#include <array>
#include <optional>
#include <span>

#include "platform/Platform.h"

namespace quillfen {

namespace {

using PublicKey = std::array<unsigned char, 32>;

std::optional<unsigned> hexDigitValue(char digit) {
    if (digit >= '0' && digit <= '9') {
        return static_cast<unsigned>(digit - '0');
    }
    if (digit >= 'a' && digit <= 'f') {
        return static_cast<unsigned>(digit - 'a' + 10);
    }
    if (digit >= 'A' && digit <= 'F') {
        return static_cast<unsigned>(digit - 'A' + 10);
    }
    return std::nullopt;
}

// The configure step refuses a malformed key, so nullopt here means a build put together by
// other means; such a build accepts no update rather than any.
std::optional<PublicKey> trustedPublicKey() {
    constexpr std::string_view hex = QUILLFEN_UPDATE_PUBLIC_KEY;
    if (hex.size() != 2 * PublicKey().size()) {
        return std::nullopt;
    }
    PublicKey key{};
    for (std::size_t i = 0; i < key.size(); ++i) {
        const std::optional<unsigned> high = hexDigitValue(hex[2 * i]);
        const std::optional<unsigned> low = hexDigitValue(hex[2 * i + 1]);
        if (!high || !low) {
            return std::nullopt;
        }
        key[i] = static_cast<unsigned char>(*high * 16 + *low);
    }
    return key;
}

std::span<const unsigned char> bytesOf(std::string_view text) {
    return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

}  // namespace

bool hasValidUpdateSignature(std::string_view fileBytes, std::string_view signatureBytes) {
    constexpr std::size_t kSignatureSize = 64;
    const std::optional<PublicKey> key = trustedPublicKey();
    return key && signatureBytes.size() == kSignatureSize &&
           platform::currentPlatform().signatures().verifyEd25519(*key, bytesOf(fileBytes),
                                                                  bytesOf(signatureBytes));
}

}  // namespace quillfen
