#pragma once

#include <cstdint>
#include <string>

#include "search/ContentCriteria.h"
#include "search/NamePattern.h"
#include "search/SearchInputs.h"

namespace quillfen {

enum class SizeMode : std::int32_t { None = 0, AtLeast = 1, AtMost = 2 };

// The parsed inputs of one search: the only thing the walk consults.
struct SearchCriteria {
    // Ends with a separator; "*" and the separator mean every volume.
    std::string folder;
    bool searchSubfolders = true;
    NamePatternList namePatterns;
    ContentCriteria content;
    bool dateOn = false;
    std::string dateFrom = "1000-01-01 00:00:00";
    std::string dateTo = "9999-12-31 23:59:59";
    SizeMode sizeMode = SizeMode::None;
    std::int64_t sizeLimit = 0;
};

// Turns the inputs into criteria; never fails: odd values become defaults. Compiling the content
// may tick "Match Ansi", which is why the inputs are taken by reference.
SearchCriteria buildCriteria(SearchInputs& inputs);

// The number in the size box: at most its first 99 characters, read as decimal digits up to the
// first other character; 0 when there are none.
std::int64_t parseKilobytes(const std::string& text);

}  // namespace quillfen
