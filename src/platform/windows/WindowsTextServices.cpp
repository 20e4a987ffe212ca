#include "platform/windows/WindowsTextServices.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

#include "platform/windows/WideText.h"

namespace quillfen::platform {

namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

void appendAsciiFolded(std::string_view text, std::string& folded) {
    std::transform(text.begin(), text.end(), std::back_inserter(folded), asciiLower);
}

// The length of the UTF-8 sequence at the start of the text when it is well-formed and names a
// scalar value (no surrogate), else 0.
std::size_t wellFormedLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < (i == 1 ? low : 0x80) || byte > (i == 1 ? high : 0xBF)) {
            return 0;
        }
    }
    return length;
}

// Lower-cases well-formed UTF-8 the way the system does for every locale alike.
bool appendSystemFolded(std::string_view text, std::string& folded) {
    const std::wstring wide = toWide(text);
    const int size = static_cast<int>(wide.size());
    const int length = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, wide.data(), size,
                                     nullptr, 0, nullptr, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    std::wstring lower(static_cast<std::size_t>(length), L'\0');
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, wide.data(), size, lower.data(),
                      length, nullptr, nullptr, 0) != length) {
        return false;
    }
    folded += fromWide(lower);
    return true;
}

// Folds each stretch of well-formed UTF-8; the bytes between such stretches (a lone surrogate of
// a WTF-8 name, bytes that are no UTF-8 at all) are kept as they are.
void appendFoldedStretches(std::string_view text, std::string& folded) {
    std::size_t start = 0;
    std::size_t at = 0;
    auto flush = [&](std::size_t end) {
        const std::string_view stretch = text.substr(start, end - start);
        if (!stretch.empty() && !appendSystemFolded(stretch, folded)) {
            appendAsciiFolded(stretch, folded);
        }
    };
    while (at < text.size()) {
        const std::size_t length = wellFormedLength(text.substr(at));
        if (length > 0) {
            at += length;
            continue;
        }
        flush(at);
        folded.push_back(text[at]);
        start = ++at;
    }
    flush(at);
}

}  // namespace

WindowsTextServices::WindowsTextServices() : codePage_(systemAnsiCodePage()) {}

WindowsTextServices::WindowsTextServices(unsigned codePage) : codePage_(codePage) {}

// Asked by the system locale's name rather than by LOCALE_NAME_SYSTEM_DEFAULT, which not every
// implementation of the call accepts.
unsigned WindowsTextServices::systemAnsiCodePage() {
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    DWORD codePage = 0;
    if (GetSystemDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH) == 0 ||
        GetLocaleInfoEx(locale, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                        reinterpret_cast<LPWSTR>(&codePage),
                        sizeof(codePage) / sizeof(wchar_t)) == 0 ||
        codePage == 0) {
        return kUtf8CodePage;
    }
    return codePage;
}

std::string WindowsTextServices::foldCase(std::string_view text) const {
    std::string folded;
    foldCaseInto(text, folded);
    return folded;
}

void WindowsTextServices::foldCaseInto(std::string_view text, std::string& folded) const {
    folded.clear();
    folded.reserve(text.size());
    if (isAscii(text)) {
        appendAsciiFolded(text, folded);
        return;
    }
    appendFoldedStretches(text, folded);
}

std::u16string WindowsTextServices::toUtf16(std::string_view text) const {
    const std::wstring wide = toWide(text);
    return {wide.begin(), wide.end()};
}

std::string WindowsTextServices::fromUtf16(std::u16string_view text) const {
    return fromWide(std::wstring(text.begin(), text.end()));
}

std::optional<std::string> WindowsTextServices::toAnsiCodePage(std::string_view text) const {
    return toCodePage(text, codePage_);
}

std::string WindowsTextServices::fromAnsiCodePage(std::string_view bytes) const {
    if (codePage_ == kUtf8CodePage || bytes.empty()) {
        return std::string(bytes);
    }
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage_, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0) {
        return std::string(bytes);
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage_, 0, bytes.data(), size, wide.data(), length);
    return fromWide(wide);
}

bool WindowsTextServices::knowsCodePage(unsigned codePage) const {
    return codePage == kUtf8CodePage || IsValidCodePage(codePage) != FALSE;
}

std::optional<std::string> WindowsTextServices::toCodePage(std::string_view text,
                                                           unsigned codePage) const {
    if (codePage == kUtf8CodePage || text.empty()) {
        return std::string(text);
    }
    const std::wstring wide = toWide(text);
    const int size = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size,
                                           nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, bytes.data(), length,
                        nullptr, &usedDefault);
    // Text whose bytes do not read back as typed has no form in the code page, whether a character
    // was replaced or left out.
    if (usedDefault || fromCodePage(bytes, codePage) != std::optional<std::string>(text)) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::string> WindowsTextServices::fromCodePage(std::string_view bytes,
                                                             unsigned codePage) const {
    if (codePage == kUtf8CodePage || bytes.empty()) {
        return std::string(bytes);
    }
    const int size = static_cast<int>(bytes.size());
    const int length =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
    return fromWide(wide);
}

bool WindowsTextServices::isLeadByte(unsigned char byte, unsigned codePage) const {
    return codePage != kUtf8CodePage && IsDBCSLeadByteEx(codePage, byte) != FALSE;
}

}  // namespace quillfen::platform
