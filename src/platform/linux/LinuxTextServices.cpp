#include "platform/linux/LinuxTextServices.h"

#include <algorithm>

#include "platform/linux/PlatformModules.h"

namespace quillfen::platform {

namespace {

// What stands for a character that cannot be converted without ICU.
constexpr char16_t kReplacementCharacter = u'\uFFFD';
constexpr std::string_view kUtf8ReplacementCharacter = "\xef\xbf\xbd";

template <typename Text>
bool isAscii(const Text& text) {
    return std::all_of(text.begin(), text.end(), [](auto c) {
        return static_cast<std::make_unsigned_t<decltype(c)>>(c) < 0x80;
    });
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

std::string LinuxTextServices::fromUtf16(std::u16string_view text) const {
    if (!isAscii(text)) {
        if (const TextServices* icu = PlatformModules::icuText()) {
            return icu->fromUtf16(text);
        }
    }
    std::string bytes;
    bytes.reserve(text.size());
    for (const char16_t unit : text) {
        if (unit < 0x80) {
            bytes.push_back(static_cast<char>(unit));
        } else {
            bytes.append(kUtf8ReplacementCharacter);
        }
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
