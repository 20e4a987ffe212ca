#include "platform/linux/LinuxTextServices.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>

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

}  // namespace

std::string LinuxTextServices::foldCase(std::string_view text) const {
    std::string folded;
    foldCaseInto(text, folded);
    return folded;
}

void LinuxTextServices::foldCaseInto(std::string_view text, std::string& folded) const {
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

std::u16string LinuxTextServices::toUtf16(std::string_view text) const {
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

std::string LinuxTextServices::fromUtf16(std::u16string_view text) const {
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
