#include "search/SearchCriteria.h"

#include <cstdio>
#include <limits>
#include <utility>

#include "app/PathHelpers.h"

namespace quillfen {

namespace {

constexpr std::int64_t kKilobyte = 1024;

std::string eightDigits(const CalendarDate& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d", date.year, date.month, date.day);
    return text;
}

std::string dayText(const std::string& digits) {
    return digits.substr(0, 4) + "-" + digits.substr(4, 2) + "-" + digits.substr(6, 2);
}

void applyDates(const SearchInputs& inputs, SearchCriteria& criteria) {
    if (inputs.dateOption == DateOption::DontRemember) {
        return;
    }
    criteria.dateOn = true;
    std::string earlier = eightDigits(inputs.dateFrom);
    std::string later = eightDigits(inputs.dateTo);
    if (earlier > later) {
        std::swap(earlier, later);
    }
    criteria.dateFrom = dayText(earlier) + " 00:00:00";
    criteria.dateTo = dayText(later) + " 23:59:59";
}

void applySize(const SearchInputs& inputs, SearchCriteria& criteria) {
    if (inputs.sizeOption == SizeOption::DontRemember) {
        return;
    }
    criteria.sizeMode =
        inputs.sizeBound == SizeBound::AtLeast ? SizeMode::AtLeast : SizeMode::AtMost;
    criteria.sizeLimit = parseKilobytes(inputs.sizeKilobytes) * kKilobyte;
}

}  // namespace

std::int64_t parseKilobytes(const std::string& text) {
    // Large enough that the byte count still fits: a bigger number saturates.
    constexpr std::int64_t kMaxKilobytes = std::numeric_limits<std::int64_t>::max() / kKilobyte;
    std::int64_t value = 0;
    for (size_t i = 0; i < text.size() && i < 99; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') {
            break;
        }
        value = value > (kMaxKilobytes - (c - '0')) / 10 ? kMaxKilobytes : value * 10 + (c - '0');
    }
    return value;
}

SearchCriteria buildCriteria(SearchInputs& inputs) {
    SearchCriteria criteria;
    criteria.folder = withTrailingSeparator(inputs.lookIn);
    criteria.namePatterns = compileNamePatterns(inputs.namePatterns);
    criteria.content = compileContent(inputs.content);
    criteria.searchSubfolders = inputs.searchSubfolders;
    applyDates(inputs, criteria);
    applySize(inputs, criteria);
    return criteria;
}

}  // namespace quillfen
