#include "platform/windows/WideText.h"

#include <cstdint>

namespace quillfen::platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the sequence a lead byte starts, and the smallest code point it may carry, so
// that overlong forms are refused; 0 for a byte that starts none.
struct Lead {
    std::size_t length;
    char32_t minimum;
};

Lead leadOf(unsigned char byte) {
    if (byte < 0x80) {
        return {1, 0};
    }
    if (byte >= 0xC2 && byte <= 0xDF) {
        return {2, 0x80};
    }
    if (byte >= 0xE0 && byte <= 0xEF) {
        return {3, 0x800};
    }
    if (byte >= 0xF0 && byte <= 0xF4) {
        return {4, 0x10000};
    }
    return {0, 0};
}

// Decodes one code point at `at` and moves past it; a byte that starts no valid sequence gives
// U+FFFD and is passed alone.
char32_t decodeOne(std::string_view text, std::size_t& at) {
    const auto first = static_cast<unsigned char>(text[at]);
    const Lead lead = leadOf(first);
    if (lead.length == 0 || at + lead.length > text.size()) {
        ++at;
        return kReplacement;
    }
    if (lead.length == 1) {
        ++at;
        return first;
    }
    char32_t code = first & (0xFF >> (lead.length + 1));
    for (std::size_t i = 1; i < lead.length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if (!isContinuation(next)) {
            ++at;
            return kReplacement;
        }
        code = (code << 6) | (next & 0x3F);
    }
    if (code < lead.minimum || code > 0x10FFFF) {
        ++at;
        return kReplacement;
    }
    at += lead.length;
    return code;
}

void appendWide(std::wstring& wide, char32_t code) {
    if (code < 0x10000) {
        wide.push_back(static_cast<wchar_t>(code));
        return;
    }
    code -= 0x10000;
    wide.push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
    wide.push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
}

void appendUtf8(std::string& text, char32_t code) {
    if (code < 0x80) {
        text.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        text.push_back(static_cast<char>(0xC0 | (code >> 6)));
        text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        text.push_back(static_cast<char>(0xE0 | (code >> 12)));
        text.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        text.push_back(static_cast<char>(0xF0 | (code >> 18)));
        text.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

bool isLeadSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isTrailSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::wstring toWide(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        appendWide(wide, decodeOne(text, at));
    }
    return wide;
}

std::string fromWide(std::wstring_view text) {
    std::string narrow;
    narrow.reserve(text.size() * 3);
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto unit = static_cast<char32_t>(static_cast<std::uint16_t>(text[at]));
        if (isLeadSurrogate(unit) && at + 1 < text.size()) {
            const auto next = static_cast<char32_t>(static_cast<std::uint16_t>(text[at + 1]));
            if (isTrailSurrogate(next)) {
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
