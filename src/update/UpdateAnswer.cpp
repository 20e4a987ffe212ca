#include "update/UpdateAnswer.h"

#include <cstdlib>
#include <vector>

#include "app/TextUtilities.h"

namespace quillfen {

namespace {

// Reads a part as the C library's atol does: leading white space, a sign, digits up to the first
// other character, 0 without digits. Parts too long for a number saturate rather than overflow.
long long partValue(const std::string& part) {
    size_t at = 0;
    while (at < part.size() && (part[at] == ' ' || (part[at] >= '\t' && part[at] <= '\r'))) {
        ++at;
    }
    bool negative = false;
    if (at < part.size() && (part[at] == '+' || part[at] == '-')) {
        negative = part[at] == '-';
        ++at;
    }
    constexpr long long kLimit = 1'000'000'000'000'000'000LL;
    long long value = 0;
    for (; at < part.size() && part[at] >= '0' && part[at] <= '9'; ++at) {
        const int digit = part[at] - '0';
        value = value > (kLimit - digit) / 10 ? kLimit : value * 10 + digit;
    }
    return negative ? -value : value;
}

}  // namespace

std::string answerLines(std::string_view raw) {
    std::string body;
    std::string line;
    for (const char c : raw) {
        if (c == '\r') {
            continue;
        }
        if (c == '\n') {
            body += line + "\r\n";
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) {
        body += line + "\r\n";
    }
    return body;
}

std::optional<UpdateAnswer> parseUpdateAnswer(std::string_view body) {
    while (!body.empty() && (body.back() == '\r' || body.back() == '\n')) {
        body.remove_suffix(1);
    }
    const std::vector<std::string> lines = splitText(body, "\r\n");
    if (lines.size() <= 2 || lines.front() != "[Begin]" || lines.back() != "[End]") {
        return std::nullopt;
    }
    UpdateAnswer answer;
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        const std::string& line = lines[i];
        const auto equals = line.find('=');
        if (equals == std::string::npos || equals == 0) {
            continue;
        }
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (key == "Ver") {
            answer.version = value;
        } else if (key == "Link") {
            answer.links = value;
        } else if (key == "Size") {
            answer.size = value;
        }
    }
    return answer;
}

int compareVersions(std::string_view a, std::string_view b) {
    std::vector<std::string> left = splitText(a, ".");
    std::vector<std::string> right = splitText(b, ".");
    while (left.size() < right.size()) {
        left.emplace_back("0");
    }
    while (right.size() < left.size()) {
        right.emplace_back("0");
    }
    for (size_t i = 0; i < left.size(); ++i) {
        const long long x = partValue(left[i]);
        const long long y = partValue(right[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return 0;
}

}  // namespace quillfen
