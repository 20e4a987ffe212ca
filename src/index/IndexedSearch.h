#pragma once

#include <atomic>
#include <optional>

#include "index/IndexReplay.h"
#include "search/SearchCriteria.h"

namespace quillfen {

// Decides whether an index answers a search instead of a walk: the search tests names, sizes
// and dates only, its folder lies in an indexed folder where that folder's walk entered it, and
// the index was recorded with the same recycle-bin setting. The index is brought up to date
// first, so its answer is the walk's.
class IndexedSearch {
public:
    static std::optional<IndexReplay> prepare(const SearchCriteria& criteria,
                                              bool searchInRecycleBin,
                                              const std::atomic<bool>& stop);
};

}  // namespace quillfen
