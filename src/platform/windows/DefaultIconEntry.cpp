#include "platform/windows/DefaultIconEntry.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <string>

namespace quillfen::platform {

namespace {

bool isWhiteSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A number beyond what an index can hold reads as the largest one, as an icon that far in does
// not exist either way.
int leadingNumber(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && isWhiteSpace(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        negative = text[at] == '-';
        ++at;
    }
    long long value = 0;
    for (; at < text.size() && isDigit(text[at]); ++at) {
        value = std::min<long long>(value * 10 + (text[at] - '0'), INT_MAX);
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace

IconLocation DefaultIconEntry::parse(std::string_view entry) {
    if (entry.empty()) {
        return IconLocation::none();
    }
    if (entry == kFilesOwn) {
        return IconLocation::filesOwn();
    }
    const auto comma = entry.rfind(',');
    if (comma == std::string_view::npos) {
        return IconLocation::fileIcon(std::string(entry), 0);
    }
    return IconLocation::fileIcon(std::string(entry.substr(0, comma)),
                                  leadingNumber(entry.substr(comma + 1)));
}

}  // namespace quillfen::platform
