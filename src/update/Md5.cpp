#include "update/Md5.h"

#include "platform/Platform.h"

namespace quillfen {

std::string md5UpperHex(std::string_view bytes) {
    const std::optional<platform::Digests::Md5Digest> digest =
        platform::currentPlatform().digests().md5(bytes);
    if (!digest) {
        return {};
    }
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t byte : *digest) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0xF]);
    }
    return text;
}

}  // namespace quillfen
