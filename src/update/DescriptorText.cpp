#include "update/DescriptorText.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "app/TextUtilities.h"

namespace quillfen {

namespace {

bool isPrintable(char c) {
    return c >= ' ' && c <= '~';
}

std::optional<int> hexDigitValue(char c) {
    if (c == ' ' || (c >= '\t' && c <= '\r')) {
        return 0;
    }
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return std::nullopt;
}

// An odd count of digits cannot be bytes written as pairs, so such a text is not taken for one.
std::optional<std::string> hexDecoded(std::string_view digits) {
    if (digits.size() % 2 != 0 || !std::all_of(digits.begin(), digits.end(), [](char c) {
            return hexDigitValue(c).has_value();
        })) {
        return std::nullopt;
    }
    std::string bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const char byte =
            static_cast<char>(*hexDigitValue(digits[i]) * 16 + *hexDigitValue(digits[i + 1]));
        if (byte == '\0') {
            break;
        }
        bytes.push_back(byte);
    }
    return bytes;
}

std::string readable(std::string_view stored) {
    if (std::optional<std::string> decoded = hexDecoded(stored);
        decoded && std::all_of(decoded->begin(), decoded->end(), isPrintable)) {
        return std::move(*decoded);
    }
    if (std::all_of(stored.begin(), stored.end(), isPrintable)) {
        return std::string(stored);
    }
    return {};
}

}  // namespace

std::string swapCharacterPairs(std::string text) {
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        std::swap(text[i], text[i + 1]);
    }
    return text;
}

std::string decodeDescriptorText(std::string_view stored, bool swapPairs) {
    std::string text = readable(stored.substr(0, stored.find('\0')));
    if (swapPairs) {
        text = swapCharacterPairs(std::move(text));
    }
    return std::string(trimWhiteSpace(text));
}

}  // namespace quillfen
