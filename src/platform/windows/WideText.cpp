#include "platform/windows/WideText.h"

namespace quillfen::platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The code point that starts at `at`, and how many bytes it takes; an invalid or overlong
// sequence counts as one replaced byte.
char32_t decodeAt(std::string_view text, std::size_t at, std::size_t& length) {
    const auto lead = static_cast<unsigned char>(text[at]);
    length = 1;
    if (lead < 0x80) {
        return lead;
    }
    std::size_t count = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        count = 2;
        value = lead & 0x1Fu;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        count = 3;
        value = lead & 0x0Fu;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        count = 4;
        value = lead & 0x07u;
        smallest = 0x10000;
    } else {
        return kReplacement;
    }
    if (at + count > text.size()) {
        return kReplacement;
    }
    for (std::size_t i = 1; i < count; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if (!isContinuation(byte)) {
            return kReplacement;
        }
        value = (value << 6) | (byte & 0x3Fu);
    }
    if (value < smallest || value > 0x10FFFF) {
        return kReplacement;
    }
    length = count;
    return value;
}

void appendUtf16(std::wstring& out, char32_t value) {
    if (value < 0x10000) {
        out.push_back(static_cast<wchar_t>(value));
        return;
    }
    value -= 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (value >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (value & 0x3FF)));
}

void appendUtf8(std::string& out, char32_t value) {
    if (value < 0x80) {
        out.push_back(static_cast<char>(value));
    } else if (value < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (value >> 6)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else if (value < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (value >> 12)));
        out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (value >> 18)));
        out.push_back(static_cast<char>(0x80 | ((value >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    }
}

}  // namespace

std::wstring toWide(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t length = 0;
        char32_t value = decodeAt(text, at, length);
        at += length;
        // A pair of encoded surrogates is one character written the long way round: joined, it
        // becomes the same two UTF-16 units either way.
        if (isHighSurrogate(value) && at < text.size()) {
            std::size_t nextLength = 0;
            const char32_t next = decodeAt(text, at, nextLength);
            if (isLowSurrogate(next)) {
                value = 0x10000 + ((value - 0xD800) << 10) + (next - 0xDC00);
                at += nextLength;
            }
        }
        appendUtf16(out, value);
    }
    return out;
}

std::string fromWide(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        char32_t value = static_cast<char16_t>(text[at]);
        if (isHighSurrogate(value) && at + 1 < text.size() &&
            isLowSurrogate(static_cast<char16_t>(text[at + 1]))) {
            value = 0x10000 + ((value - 0xD800) << 10) +
                    (static_cast<char16_t>(text[at + 1]) - 0xDC00u);
            ++at;
        }
        appendUtf8(out, value);
    }
    return out;
}

}  // namespace quillfen::platform
