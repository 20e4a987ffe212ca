#include "app/TextUtilities.h"

#include <algorithm>

namespace quillfen {

namespace {

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::vector<std::string> splitText(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    if (text.empty() || separator.empty()) {
        return pieces;
    }
    std::string terminated(text);
    if (!terminated.ends_with(separator)) {
        terminated.append(separator);
    }
    size_t start = 0;
    for (size_t found = terminated.find(separator); found != std::string::npos;
         found = terminated.find(separator, start)) {
        pieces.emplace_back(terminated, start, found - start);
        start = found + separator.size();
    }
    return pieces;
}

std::string_view trimWhiteSpaceEnd(std::string_view text) {
    while (!text.empty() && isWhiteSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view trimWhiteSpace(std::string_view text) {
    while (!text.empty() && isWhiteSpace(text.front())) {
        text.remove_prefix(1);
    }
    return trimWhiteSpaceEnd(text);
}

std::string upperAscii(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), upper);
    return result;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return upper(x) == upper(y); });
}

std::string filledIn(const std::string& pattern, std::string_view marker,
                     std::initializer_list<std::string> values) {
    std::string text;
    std::size_t from = 0;
    for (const std::string& value : values) {
        const auto at = pattern.find(marker, from);
        if (at == std::string::npos) {
            break;
        }
        text.append(pattern, from, at - from).append(value);
        from = at + marker.size();
    }
    return text.append(pattern, from);
}

}  // namespace quillfen
