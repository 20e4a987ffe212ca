#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "index/IndexReplay.h"
#include "search/DuplicateRequest.h"
#include "search/SearchCriteria.h"
#include "search/SearchObserver.h"

namespace quillfen {

// Decides whether indexes answer a search instead of a walk: the search's folder lies in an
// indexed folder where that folder's walk entered it, or every volume is searched and each
// volume's root was indexed as such, and the indexes were recorded with the search's
// recycle-bin setting. Each index is brought up to date first, so the answer is the walk's.
class IndexedSearch {
public:
    // The replays that stand in for the walk of `folder`, in the walk's order; nothing when
    // some part of the walk has no index to answer it.
    static std::optional<std::vector<IndexReplay>> prepare(const std::string& folder,
                                                           bool searchSubfolders,
                                                           bool searchInRecycleBin,
                                                           const std::atomic<bool>& stop);

    // Runs the search from indexes when `useIndex` allows and they answer it, telling the
    // observer so first, and walks otherwise. The command line and the windows all search
    // through here, so that they take an index under the same conditions.
    static void run(const SearchCriteria& criteria, SearchObserver& observer,
                    const std::atomic<bool>& stop, bool searchInRecycleBin, bool useIndex);
    // The same for a duplicate search, whose candidates are every file of the indexes with its
    // size as it is now.
    static void runDuplicates(const DuplicateRequest& request, SearchObserver& observer,
                              const std::atomic<bool>& stop, bool searchInRecycleBin,
                              bool useIndex);

    // The end of a search an index answered, in the shown language with its digit grouping.
    static std::string answeredText(std::uint64_t entries, std::uint64_t milliseconds);

private:
    static std::optional<IndexReplay> replayOf(const std::string& root, const std::string& folder,
                                               const std::string& spelling, bool searchSubfolders,
                                               std::uint32_t options,
                                               const std::atomic<bool>& stop);
    // The walk that the replays stand in for, after the observer heard how many entries they
    // hold; nothing when there are none.
    using RecordedWalk = std::function<void(FolderVisitor&)>;
    static std::optional<RecordedWalk> recordedWalk(const std::string& folder,
                                                    bool searchSubfolders,
                                                    const NamePatternList& patterns,
                                                    SearchObserver& observer,
                                                    const std::atomic<bool>& stop,
                                                    bool searchInRecycleBin, bool useIndex);
};

}  // namespace quillfen
