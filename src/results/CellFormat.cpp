#include "results/CellFormat.h"

#include <array>
#include <charconv>
#include <string_view>

#include "platform/Platform.h"

namespace quillfen {

namespace {

constexpr int kFractionDigits = 6;
constexpr std::size_t kShownFractionDigits = 2;
// The longest fixed-point double: sign, 309 integer digits, point and six fraction digits.
constexpr std::size_t kLongestFixedNumber = 1 + 309 + 1 + kFractionDigits;
constexpr std::size_t kSizeKeyWidth = 20;

struct SizeUnit {
    std::int64_t bytes;
    std::string_view suffix;
};

constexpr std::array<SizeUnit, 3> kSizeUnits{{
    {std::int64_t{1} << 30, " GB"},
    {std::int64_t{1} << 20, " MB"},
    {std::int64_t{1} << 10, " KB"},
}};
constexpr std::string_view kByteSuffix = "  B";

std::string withoutTrailingZeros(std::string text) {
    if (text.find('.') == std::string::npos) {
        return text;
    }
    while (text.back() == '0') {
        text.pop_back();
    }
    if (text.back() == '.') {
        text.pop_back();
    }
    return text;
}

std::string cutAfterShownDigits(std::string text) {
    const std::size_t point = text.find('.');
    if (point != std::string::npos && text.size() > point + 1 + kShownFractionDigits) {
        text.resize(point + 1 + kShownFractionDigits);
    }
    return text;
}

std::string sizeInUnit(std::int64_t size, const SizeUnit& unit) {
    const double value = static_cast<double>(size) / static_cast<double>(unit.bytes);
    return cutAfterShownDigits(formatNumber(value)).append(unit.suffix);
}

// Like "%02d": one leading zero for a single digit, other values as they are.

}  // namespace

std::string formatNumber(double value) {
    std::array<char, kLongestFixedNumber> buffer{};
    const std::to_chars_result written =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed,
                      kFractionDigits);
    return withoutTrailingZeros(std::string(buffer.data(), written.ptr));
}

std::string formatSizeText(std::int64_t size) {
    for (const SizeUnit& unit : kSizeUnits) {
        if (size >= unit.bytes) {
            return sizeInUnit(size, unit);
        }
    }
    return sizeInUnit(size, SizeUnit{1, kByteSuffix});
}

std::string formatSizeKey(std::int64_t size) {
    // The magnitude is taken in unsigned arithmetic so that the most negative size has one too.
    const bool negative = size < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(size) : static_cast<std::uint64_t>(size);
    std::array<char, kSizeKeyWidth> digits{};
    const std::to_chars_result written =
        std::to_chars(digits.data(), digits.data() + digits.size(), magnitude);
    const auto digitCount = static_cast<std::size_t>(written.ptr - digits.data());
    std::string key = negative ? "-" : "";
    key.append(kSizeKeyWidth - key.size() - digitCount, '0');
    key.append(digits.data(), digitCount);
    return key;
}

}  // namespace quillfen
