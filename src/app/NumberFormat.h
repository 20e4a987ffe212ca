#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace quillfen {

// How the program's language writes numbers: the mark before the decimals and the one between
// groups of three digits. Chosen by the language of the texts shown, not by the process's locale,
// so that a number reads as the sentence around it ("0,04 Sekunden", "41.250 Dateien").
class NumberFormat {
public:
    // The format of a language by its Windows identifier (1033, 1031, 2052, ...); languages not
    // known here write numbers as English does.
    static NumberFormat forLanguage(int languageId);
    // The format of the language whose table the program shows.
    static NumberFormat ofShownLanguage();

    // 41250 as "41,250" or "41.250".
    std::string grouped(std::uint64_t value) const;
    // The value rounded to `decimals` places, without grouping: "3.16" or "3,16".
    std::string fixed(double value, int decimals) const;

    const std::string& decimalMark() const { return decimalMark_; }
    const std::string& groupMark() const { return groupMark_; }

private:
    NumberFormat(std::string decimalMark, std::string groupMark)
        : decimalMark_(std::move(decimalMark)), groupMark_(std::move(groupMark)) {}

    std::string decimalMark_;
    std::string groupMark_;
};

}  // namespace quillfen
