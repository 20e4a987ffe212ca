#include "app/NumberFormat.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "app/LanguageTable.h"

namespace quillfen {

namespace {

constexpr int kPrimaryLanguageMask = 0x3FF;
// A no-break space, so a number never breaks across lines at its groups.
constexpr const char* kNoBreakSpace = "\xC2\xA0";

// Primary languages that write a decimal comma, with the mark they put between digit groups.
// The rest write a decimal point and group with commas, as English and Chinese do.
struct CommaLanguage {
    int primaryLanguage;
    const char* groupMark;
};

constexpr CommaLanguage kCommaLanguages[] = {
    {0x07, "."},            // German
    {0x0A, "."},            // Spanish
    {0x10, "."},            // Italian
    {0x16, "."},            // Portuguese
    {0x13, "."},            // Dutch
    {0x06, "."},            // Danish
    {0x08, "."},            // Greek
    {0x1F, "."},            // Turkish
    {0x21, "."},            // Indonesian
    {0x18, "."},            // Romanian
    {0x1A, "."},            // Croatian, Serbian, Bosnian
    {0x24, "."},            // Slovenian
    {0x0C, kNoBreakSpace},  // French
    {0x1D, kNoBreakSpace},  // Swedish
    {0x14, kNoBreakSpace},  // Norwegian
    {0x0B, kNoBreakSpace},  // Finnish
    {0x15, kNoBreakSpace},  // Polish
    {0x05, kNoBreakSpace},  // Czech
    {0x1B, kNoBreakSpace},  // Slovak
    {0x0E, kNoBreakSpace},  // Hungarian
    {0x19, kNoBreakSpace},  // Russian
    {0x22, kNoBreakSpace},  // Ukrainian
    {0x02, kNoBreakSpace},  // Bulgarian
};

}  // namespace

NumberFormat NumberFormat::forLanguage(int languageId) {
    const int primary = languageId & kPrimaryLanguageMask;
    const auto* comma = std::find_if(
        std::begin(kCommaLanguages), std::end(kCommaLanguages),
        [primary](const CommaLanguage& language) { return language.primaryLanguage == primary; });
    if (comma == std::end(kCommaLanguages)) {
        return NumberFormat(".", ",");
    }
    return NumberFormat(",", comma->groupMark);
}

NumberFormat NumberFormat::ofShownLanguage() {
    return forLanguage(languageTable().languageId());
}

std::string NumberFormat::grouped(std::uint64_t value) const {
    const std::string digits = std::to_string(value);
    std::string text;
    for (std::size_t at = 0; at < digits.size(); ++at) {
        if (at > 0 && (digits.size() - at) % 3 == 0) {
            text += groupMark_;
        }
        text += digits[at];
    }
    return text;
}

std::string NumberFormat::fixed(double value, int decimals) const {
    char text[64] = {};
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    // printf writes the C locale's point whatever the language, unless the process's locale
    // was changed, which this program never asks of it; either way one mark is replaced.
    std::string written(text);
    const auto mark = written.find_first_not_of("-0123456789");
    if (mark != std::string::npos) {
        written.replace(mark, 1, decimalMark_);
    }
    return written;
}

}  // namespace quillfen
