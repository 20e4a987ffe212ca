#include "platform/linux/icu/IcuTextServices.h"

#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <memory>

namespace quillfen::platform {

namespace {

constexpr UChar32 kReplacementCharacter = 0xFFFD;

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

void appendCodePoint(std::string& out, UChar32 c) {
    char buffer[U8_MAX_LENGTH];
    int32_t length = 0;
    U8_APPEND_UNSAFE(reinterpret_cast<uint8_t*>(buffer), length, c);
    out.append(buffer, static_cast<size_t>(length));
}

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// ICU knows the Windows code pages as "windows-<number>" (1250-1258, 874, 932, 936, 949, 950)
// and the older ones, such as the DOS code pages, as "cp<number>". A converter that meets a
// character or byte sequence it cannot map stops with an error rather than put in a stand-in, and
// no best-fit mapping is used.
Converter openConverter(unsigned codePage) {
    for (const char* prefix : {"windows-", "cp"}) {
        const std::string name = prefix + std::to_string(codePage);
        UErrorCode status = U_ZERO_ERROR;
        Converter converter(ucnv_open(name.c_str(), &status));
        if (U_SUCCESS(status) && converter) {
            ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr,
                                  nullptr, &status);
            ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                                &status);
            if (U_SUCCESS(status)) {
                return converter;
            }
        }
    }
    return nullptr;
}

}  // namespace

bool IcuTextServices::knowsCodePage(unsigned codePage) const {
    return codePage == kUtf8CodePage || openConverter(codePage) != nullptr;
}

std::optional<std::string> IcuTextServices::toCodePage(std::string_view text,
                                                       unsigned codePage) const {
    if (codePage == kUtf8CodePage) {
        return std::string(text);
    }
    const Converter converter = openConverter(codePage);
    if (!converter) {
        return std::nullopt;
    }
    const std::u16string units = toUtf16(text);
    std::string bytes(units.size() * static_cast<size_t>(ucnv_getMaxCharSize(converter.get())),
                      '\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        ucnv_fromUChars(converter.get(), bytes.data(), static_cast<int32_t>(bytes.size()),
                        units.data(), static_cast<int32_t>(units.size()), &status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    bytes.resize(static_cast<size_t>(length));
    // The converter skips characters that are ignorable by default (U+200B, U+FEFF, ...) even when
    // told to stop; text whose bytes do not read back as typed has no form in the code page.
    std::u16string back(bytes.size() * 2 + 1, u'\0');
    const int32_t backLength =
        ucnv_toUChars(converter.get(), back.data(), static_cast<int32_t>(back.size()), bytes.data(),
                      static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status) || back.substr(0, static_cast<size_t>(backLength)) != units) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::string> IcuTextServices::fromCodePage(std::string_view bytes,
                                                         unsigned codePage) const {
    if (codePage == kUtf8CodePage) {
        return std::string(bytes);
    }
    const Converter converter = openConverter(codePage);
    if (!converter) {
        return std::nullopt;
    }
    std::u16string units(bytes.size() * 2, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        ucnv_toUChars(converter.get(), units.data(), static_cast<int32_t>(units.size()),
                      bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    units.resize(static_cast<size_t>(length));
    return fromUtf16(units);
}

bool IcuTextServices::isLeadByte(unsigned char byte, unsigned codePage) const {
    if (codePage == kUtf8CodePage) {
        return false;
    }
    const Converter converter = openConverter(codePage);
    if (!converter || ucnv_getMaxCharSize(converter.get()) < 2) {
        return false;
    }
    UBool starters[256] = {};
    UErrorCode status = U_ZERO_ERROR;
    ucnv_getStarters(converter.get(), starters, &status);
    return U_SUCCESS(status) && starters[byte];
}

std::string IcuTextServices::foldCase(std::string_view text) const {
    std::string folded;
    foldCaseInto(text, folded);
    return folded;
}

void IcuTextServices::foldCaseInto(std::string_view text, std::string& folded) const {
    folded.clear();
    if (isAscii(text)) {
        folded.resize(text.size());
        std::transform(text.begin(), text.end(), folded.begin(), asciiLower);
        return;
    }
    folded.reserve(text.size());
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    int32_t index = 0;
    while (index < length) {
        if (bytes[index] < 0x80) {
            folded.push_back(asciiLower(text[static_cast<size_t>(index)]));
            ++index;
            continue;
        }
        const int32_t start = index;
        UChar32 c = 0;
        U8_NEXT(bytes, index, length, c);
        if (c < 0) {
            folded.append(
                text.substr(static_cast<size_t>(start), static_cast<size_t>(index - start)));
        } else {
            appendCodePoint(folded, u_tolower(c));
        }
    }
}

std::u16string IcuTextServices::toUtf16(std::string_view text) const {
    if (text.empty()) {
        return {};
    }
    std::u16string result(text.size(), u'\0');
    int32_t written = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(result.data(), static_cast<int32_t>(result.size()), &written, text.data(),
                         static_cast<int32_t>(text.size()), kReplacementCharacter, nullptr,
                         &status);
    if (U_FAILURE(status)) {
        return {};
    }
    result.resize(static_cast<size_t>(written));
    return result;
}

std::string IcuTextServices::fromUtf16(std::u16string_view text) const {
    if (text.empty()) {
        return {};
    }
    std::string result(text.size() * 3, '\0');
    int32_t written = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(result.data(), static_cast<int32_t>(result.size()), &written, text.data(),
                       static_cast<int32_t>(text.size()), kReplacementCharacter, nullptr, &status);
    if (U_FAILURE(status)) {
        return {};
    }
    result.resize(static_cast<size_t>(written));
    return result;
}

}  // namespace quillfen::platform
