#include "platform/windows/WideText.h"

#include <cstdint>

namespace quillfen::platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes one sequence at `at`, surrogates included (WTF-8), and moves `at` past it; an invalid
// byte decodes as U+FFFD and is passed over alone.
char32_t decodeOne(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        smallest = 0x10000;
    } else {
        ++at;
        return kReplacement;
    }
    if (text.size() - at < length) {
        ++at;
        return kReplacement;
    }
    for (std::size_t index = 1; index < length; ++index) {
        const auto byte = static_cast<unsigned char>(text[at + index]);
        if (!isContinuation(byte)) {
            ++at;
            return kReplacement;
        }
        value = (value << 6) | (byte & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF) {
        ++at;
        return kReplacement;
    }
    at += length;
    return value;
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

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::wstring toWide(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const char32_t value = decodeOne(text, at);
        if (value >= 0x10000) {
            const char32_t offset = value - 0x10000;
            wide.push_back(static_cast<wchar_t>(0xD800 + (offset >> 10)));
            wide.push_back(static_cast<wchar_t>(0xDC00 + (offset & 0x3FF)));
        } else {
            wide.push_back(static_cast<wchar_t>(value));
        }
    }
    return wide;
}

std::string fromWide(std::wstring_view text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto unit = static_cast<char32_t>(static_cast<std::uint16_t>(text[at]));
        if (isHighSurrogate(unit) && at + 1 < text.size()) {
            const auto next = static_cast<char32_t>(static_cast<std::uint16_t>(text[at + 1]));
            if (isLowSurrogate(next)) {
                appendUtf8(narrow, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++at;
                continue;
            }
        }
        appendUtf8(narrow, unit);
    }
    return narrow;
}

}  // namespace quillfen::platform
