#include "platform/windows/WideText.h"

#include <cstdint>

namespace quillfen::platform {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

struct Decoded {
    char32_t codePoint = kReplacementCharacter;
    std::size_t length = 1;
};

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The bytes a lead byte announces, and the range its first continuation byte must lie in, which
// excludes overlong forms and code points above U+10FFFF. Surrogates (ED A0-BF) are admitted.
struct LeadRule {
    std::size_t length;
    unsigned char secondLow;
    unsigned char secondHigh;
};

LeadRule leadRule(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        return {2, 0x80, 0xBF};
    }
    if (lead == 0xE0) {
        return {3, 0xA0, 0xBF};
    }
    if (lead >= 0xE1 && lead <= 0xEF) {
        return {3, 0x80, 0xBF};
    }
    if (lead == 0xF0) {
        return {4, 0x90, 0xBF};
    }
    if (lead >= 0xF1 && lead <= 0xF3) {
        return {4, 0x80, 0xBF};
    }
    if (lead == 0xF4) {
        return {4, 0x80, 0x8F};
    }
    return {0, 0, 0};
}

// One code point from the text at `at`, or U+FFFD covering the longest start of a sequence that
// could still have been valid.
Decoded decodeAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        return {lead, 1};
    }
    const LeadRule rule = leadRule(lead);
    if (rule.length == 0) {
        return {};
    }
    char32_t codePoint = lead & (0xFF >> (rule.length + 1));
    for (std::size_t i = 1; i < rule.length; ++i) {
        if (at + i >= text.size()) {
            return {kReplacementCharacter, i};
        }
        const auto byte = static_cast<unsigned char>(text[at + i]);
        const bool fits =
            i == 1 ? (byte >= rule.secondLow && byte <= rule.secondHigh) : isContinuation(byte);
        if (!fits) {
            return {kReplacementCharacter, i};
        }
        codePoint = (codePoint << 6) | (byte & 0x3F);
    }
    return {codePoint, rule.length};
}

void appendUtf16(std::wstring& out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        out.push_back(static_cast<wchar_t>(codePoint));
        return;
    }
    const char32_t offset = codePoint - 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (offset >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (offset & 0x3FF)));
}

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::wstring toWide(std::string_view utf8) {
    std::wstring wide;
    wide.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        const Decoded decoded = decodeAt(utf8, at);
        appendUtf16(wide, decoded.codePoint);
        at += decoded.length;
    }
    return wide;
}

std::string fromWide(std::wstring_view wide) {
    std::string utf8;
    utf8.reserve(wide.size() * 3);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const auto unit = static_cast<char32_t>(static_cast<std::uint16_t>(wide[i]));
        if (isHighSurrogate(unit) && i + 1 < wide.size()) {
            const auto next = static_cast<char32_t>(static_cast<std::uint16_t>(wide[i + 1]));
            if (isLowSurrogate(next)) {
                appendUtf8(utf8, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        appendUtf8(utf8, unit);
    }
    return utf8;
}

}  // namespace quillfen::platform
