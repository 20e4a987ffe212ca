#include "search/ContentEncoding.h"

#include <cstdint>

namespace quillfen {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void appendByte(std::string& out, std::uint32_t value) {
    out.push_back(static_cast<char>(static_cast<unsigned char>(value)));
}

void appendUtf8(std::string& out, char32_t codePoint) {
    const auto value = static_cast<std::uint32_t>(codePoint);
    if (value < 0x80) {
        appendByte(out, value);
    } else if (value < 0x800) {
        appendByte(out, 0xC0 | (value >> 6));
        appendByte(out, 0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        appendByte(out, 0xE0 | (value >> 12));
        appendByte(out, 0x80 | ((value >> 6) & 0x3F));
        appendByte(out, 0x80 | (value & 0x3F));
    } else {
        appendByte(out, 0xF0 | (value >> 18));
        appendByte(out, 0x80 | ((value >> 12) & 0x3F));
        appendByte(out, 0x80 | ((value >> 6) & 0x3F));
        appendByte(out, 0x80 | (value & 0x3F));
    }
}

}  // namespace

std::string utf16LittleEndianBytes(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        appendByte(bytes, unit & 0xFFu);
        appendByte(bytes, static_cast<std::uint32_t>(unit) >> 8);
    }
    return bytes;
}

std::string utf8FromUtf16(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 3);
    for (std::size_t index = 0; index < text.size(); ++index) {
        const char16_t unit = text[index];
        if (isHighSurrogate(unit) && index + 1 < text.size() && isLowSurrogate(text[index + 1])) {
            const char16_t low = text[++index];
            appendUtf8(bytes,
                       0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{low} - 0xDC00));
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            appendUtf8(bytes, kReplacementCharacter);
        } else {
            appendUtf8(bytes, unit);
        }
    }
    return bytes;
}

}  // namespace quillfen
