#pragma once

#include <cstdint>
#include <string>

#include "platform/FileTime.h"
// The "Date Modified" cell is made by formatFileTime, shared with the date filter of the search.
#include "search/FileTimeText.h"

namespace quillfen {

// The value with six digits after the point, rounded as C's "%f" rounds, then without trailing
// zeros and without a bare point. The point is always '.', whatever the user's locale says.
std::string formatNumber(double value);

// The size in the largest unit it reaches (GB, MB, KB, else "  B"), with at most two digits after
// the point, cut rather than rounded, so that a size just short of a unit never shows as the unit.
std::string formatSizeText(std::int64_t size);

// The size as 20 characters zero-padded after the sign, so that files sort by size as text.
std::string formatSizeKey(std::int64_t size);

}  // namespace quillfen
