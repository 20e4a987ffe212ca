#include "cli/ArgumentChecks.h"

#include <algorithm>
#include <limits>

#include "app/PathHelpers.h"
#include "app/TextUtilities.h"
#include "platform/Platform.h"
#include "search/DatePresets.h"

namespace quillfen::cli {

namespace {

struct SizeUnit {
    const char* name;
    std::int64_t bytes;
};

// One kilobyte is 1,024 bytes throughout the program, so KB and KiB name the same unit.
constexpr std::int64_t kKibi = 1024;

// Lower-case names; an empty name is a bare number, which counts the window's KB.
constexpr SizeUnit kSizeUnits[] = {
    {"", kKibi},
    {"b", 1},
    {"k", kKibi},
    {"kb", kKibi},
    {"m", kKibi* kKibi},
    {"mb", kKibi* kKibi},
    {"g", kKibi* kKibi* kKibi},
    {"gb", kKibi* kKibi* kKibi},
    {"t", kKibi* kKibi* kKibi* kKibi},
    {"tb", kKibi* kKibi* kKibi* kKibi},
    {"kib", kKibi},
    {"mib", kKibi* kKibi},
    {"gib", kKibi* kKibi* kKibi},
    {"tib", kKibi* kKibi* kKibi* kKibi},
};

std::optional<std::int64_t> unitBytes(const std::string& unit) {
    std::string lower = unit;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    for (const SizeUnit& known : kSizeUnits) {
        if (lower == known.name) {
            return known.bytes;
        }
    }
    return std::nullopt;
}

std::size_t leadingDigits(const std::string& text) {
    const auto end =
        std::find_if(text.begin(), text.end(), [](char c) { return c < '0' || c > '9'; });
    return static_cast<std::size_t>(end - text.begin());
}

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

const char* const kSizeNotes =
    "Sizes (--size-at-least, --size-at-most): a whole number, then at once an optional unit in\n"
    "  any case. A bare number counts KB, as the window's size box does. B is bytes; k, KB or\n"
    "  KiB, M, MB or MiB, G, GB or GiB, T, TB or TiB are 1024, 1024^2, 1024^3 and 1024^4 bytes,\n"
    "  as the window counts them. Both bounds are inclusive; a folder has no size.";

std::optional<std::int64_t> parseSizeBytes(const std::string& text) {
    const std::size_t digits = leadingDigits(text);
    const std::optional<std::int64_t> unit = unitBytes(text.substr(digits));
    if (digits == 0 || !unit) {
        return std::nullopt;
    }
    const std::int64_t most = std::numeric_limits<std::int64_t>::max() / *unit;
    std::int64_t value = 0;
    for (std::size_t at = 0; at < digits; ++at) {
        const int digit = text[at] - '0';
        if (value > (most - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value * *unit;
}

std::string validateSize(const std::string& text) {
    if (parseSizeBytes(text)) {
        return {};
    }
    const std::size_t digits = leadingDigits(text);
    if (digits > 0 && unitBytes(text.substr(digits))) {
        return "too large a size: " + text + " (at most " +
               std::to_string(std::numeric_limits<std::int64_t>::max()) + " bytes)";
    }
    return "expected a whole number with an optional unit (500k, 10MB, 2G, 4KiB; a bare number "
           "counts KB), got '" +
           text + "'";
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

std::string validateFolder(const std::string& path) {
    const platform::EntryKind kind =
        platform::currentPlatform().files().kindOf(withoutTrailingSeparator(path));
    return kind == platform::EntryKind::Directory ? std::string() : "not a folder: " + path;
}

}  // namespace quillfen::cli
