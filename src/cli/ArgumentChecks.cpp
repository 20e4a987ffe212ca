#include "cli/ArgumentChecks.h"

#include <algorithm>
#include <limits>

#include "app/PathHelpers.h"
#include "app/TextUtilities.h"
#include "platform/Platform.h"
#include "search/DatePresets.h"

namespace quillfen::cli {

namespace {

// The byte count is the number of KB times 1,024 and must still fit.
constexpr std::int64_t kMaxKilobytes = std::numeric_limits<std::int64_t>::max() / 1024;

bool allDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<int> digitsValue(const std::string& text, size_t at, size_t count) {
    const std::string digits = text.substr(at, count);
    return allDigits(digits) ? std::optional<int>(std::stoi(digits)) : std::nullopt;
}

}  // namespace

std::optional<CalendarDate> parseDay(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    const std::optional<int> year = digitsValue(text, 0, 4);
    const std::optional<int> month = digitsValue(text, 5, 2);
    const std::optional<int> day = digitsValue(text, 8, 2);
    if (!year || !month || !day || *year < 1 || *month < 1 || *month > 12 || *day < 1 ||
        *day > daysInMonth(*year, *month)) {
        return std::nullopt;
    }
    return CalendarDate{*year, *month, *day};
}

std::string validateDay(const std::string& text) {
    return parseDay(text) ? std::string() : "expected a day written YYYY-MM-DD, got '" + text + "'";
}

std::optional<std::int64_t> parseKilobytes(const std::string& text) {
    if (!allDigits(text)) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        const int digit = c - '0';
        if (value > (kMaxKilobytes - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value;
}

std::string validateKilobytes(const std::string& text) {
    if (parseKilobytes(text)) {
        return {};
    }
    if (allDigits(text)) {
        return "at most " + std::to_string(kMaxKilobytes) + " KB, got " + text;
    }
    return "expected a number of KB in decimal digits, got '" + text + "'";
}

std::string validateEncodings(const std::string& list) {
    if (trimWhiteSpace(list).empty()) {
        return "expected a comma list of ansi, unicode, utf8, got an empty one";
    }
    // splitText drops one trailing separator; the added one makes it keep a trailing empty item.
    for (const std::string& name : splitText(list + ",", ",")) {
        const std::string encoding(trimWhiteSpace(name));
        if (encoding.empty()) {
            return "empty item in '" + list + "' (ansi, unicode, utf8)";
        }
        if (encoding != "ansi" && encoding != "unicode" && encoding != "utf8") {
            return "unknown encoding '" + encoding + "' (ansi, unicode, utf8)";
        }
    }
    return {};
}

std::string validateLookIn(const std::string& path) {
    if (path == "*") {
        return {};
    }
    const platform::EntryKind kind =
        platform::currentPlatform().files().kindOf(withoutTrailingSeparator(path));
    if (kind == platform::EntryKind::Missing || kind == platform::EntryKind::Directory) {
        return {};
    }
    return "not a folder: " + path;
}

}  // namespace quillfen::cli
