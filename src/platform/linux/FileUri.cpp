#include "platform/linux/FileUri.h"

namespace quillfen::platform {

namespace {

bool isUnreserved(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

void appendPercentEncoded(std::string& text, unsigned char byte) {
    constexpr char kHexDigits[] = "0123456789ABCDEF";
    text.push_back('%');
    text.push_back(kHexDigits[byte >> 4]);
    text.push_back(kHexDigits[byte & 0x0F]);
}

}  // namespace

std::string fileUri(std::string_view path) {
    std::string uri = "file://";
    uri.reserve(uri.size() + path.size() * 3);
    for (const char character : path) {
        const auto byte = static_cast<unsigned char>(character);
        if (character == '/' || isUnreserved(byte)) {
            uri.push_back(character);
        } else {
            appendPercentEncoded(uri, byte);
        }
    }
    return uri;
}

}  // namespace quillfen::platform
