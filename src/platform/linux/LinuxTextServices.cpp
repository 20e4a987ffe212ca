#include "platform/linux/LinuxTextServices.h"

#include <algorithm>

#include "platform/linux/PlatformModules.h"

namespace quillfen::platform {

namespace {

// What stands for a character that cannot be converted.
constexpr char16_t kReplacementCharacter = u'\uFFFD';

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void appendUtf8(std::string& bytes, char32_t c) {
    const auto byte = [](char32_t bits) { return static_cast<char>(bits); };
    if (c < 0x80) {
        bytes.push_back(byte(c));
    } else if (c < 0x800) {
        bytes.push_back(byte(0xC0 | (c >> 6)));
        bytes.push_back(byte(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        bytes.push_back(byte(0xE0 | (c >> 12)));
        bytes.push_back(byte(0x80 | ((c >> 6) & 0x3F)));
        bytes.push_back(byte(0x80 | (c & 0x3F)));
    } else {
        bytes.push_back(byte(0xF0 | (c >> 18)));
        bytes.push_back(byte(0x80 | ((c >> 12) & 0x3F)));
        bytes.push_back(byte(0x80 | ((c >> 6) & 0x3F)));
        bytes.push_back(byte(0x80 | (c & 0x3F)));
    }
}

// ICU's lower case of an ASCII letter is the ASCII letter, and it leaves every other ASCII
// character as it is.
char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string LinuxTextServices::foldCase(std::string_view text) const {
    std::string folded;
    foldCaseInto(text, folded);
    return folded;
}

// Without ICU, bytes beyond ASCII are kept as they are, as bytes that form no character are.
void LinuxTextServices::foldCaseInto(std::string_view text, std::string& folded) const {
    if (!isAscii(text)) {
        if (const TextServices* icu = PlatformModules::icuText()) {
            icu->foldCaseInto(text, folded);
            return;
        }
    }
    folded.resize(text.size());
    std::transform(text.begin(), text.end(), folded.begin(), asciiLower);
}

std::u16string LinuxTextServices::toUtf16(std::string_view text) const {
    if (!isAscii(text)) {
        if (const TextServices* icu = PlatformModules::icuText()) {
            return icu->toUtf16(text);
        }
    }
    std::u16string units(text.size(), u'\0');
    std::transform(text.begin(), text.end(), units.begin(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80 ? static_cast<char16_t>(c)
                                                    : kReplacementCharacter;
    });
    return units;
}

// UTF-16 has one fault only, a surrogate without its partner, which ICU replaces by U+FFFD as
// done here; so language files, which are UTF-16, are read without ICU.
std::string LinuxTextServices::fromUtf16(std::u16string_view text) const {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t index = 0; index < text.size(); ++index) {
        char32_t c = text[index];
        if (isHighSurrogate(c) && index + 1 < text.size() && isLowSurrogate(text[index + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[index + 1] - 0xDC00);
            ++index;
        } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
            c = kReplacementCharacter;
        }
        appendUtf8(bytes, c);
    }
    return bytes;
}

bool LinuxTextServices::knowsCodePage(unsigned codePage) const {
    if (codePage == kUtf8CodePage) {
        return true;
    }
    const TextServices* icu = PlatformModules::icuText();
    return icu != nullptr && icu->knowsCodePage(codePage);
}

std::optional<std::string> LinuxTextServices::toCodePage(std::string_view text,
                                                         unsigned codePage) const {
    if (codePage == kUtf8CodePage) {
        return std::string(text);
    }
    const TextServices* icu = PlatformModules::icuText();
    return icu != nullptr ? icu->toCodePage(text, codePage) : std::nullopt;
}

std::optional<std::string> LinuxTextServices::fromCodePage(std::string_view bytes,
                                                           unsigned codePage) const {
    if (codePage == kUtf8CodePage) {
        return std::string(bytes);
    }
    const TextServices* icu = PlatformModules::icuText();
    return icu != nullptr ? icu->fromCodePage(bytes, codePage) : std::nullopt;
}

bool LinuxTextServices::isLeadByte(unsigned char byte, unsigned codePage) const {
    if (codePage == kUtf8CodePage) {
        return false;
    }
    const TextServices* icu = PlatformModules::icuText();
    return icu != nullptr && icu->isLeadByte(byte, codePage);
}

}  // namespace quillfen::platform
