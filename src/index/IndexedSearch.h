#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "index/IndexReplay.h"
#include "search/SearchCriteria.h"
#include "search/SearchObserver.h"

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

    // Runs the search from an index when `useIndex` allows and one answers it, telling the
    // observer so first, and walks otherwise. The command line and the window both search
    // through here, so that they take an index under the same conditions.
    static void run(const SearchCriteria& criteria, SearchObserver& observer,
                    const std::atomic<bool>& stop, bool searchInRecycleBin, bool useIndex);

    // The end of a search an index answered, in the shown language with its digit grouping.
    static std::string answeredText(std::uint64_t entries, std::uint64_t milliseconds);
};

}  // namespace quillfen
