#include "index/IndexedSearch.h"

#include <memory>

#include "app/LanguageTable.h"
#include "app/NumberFormat.h"
#include "app/TextUtilities.h"
#include "index/IndexStore.h"
#include "index/IndexUpdater.h"
#include "platform/Platform.h"
#include "search/DuplicateSearch.h"
#include "search/FileSearch.h"
#include "search/FolderWalk.h"

namespace quillfen {

namespace {

// Another updater that holds the index longer than this is left to it: the search walks.
constexpr int kLockWaitMilliseconds = 2000;

}  // namespace

std::optional<IndexReplay> IndexedSearch::replayOf(const std::string& root,
                                                   const std::string& folder,
                                                   const std::string& spelling,
                                                   bool searchSubfolders, std::uint32_t options,
                                                   const std::atomic<bool>& stop) {
    const IndexStore store;
    std::optional<IndexView> index = IndexUpdater(store, stop, kLockWaitMilliseconds)
                                         .refresh(root, IndexUpdater::Write::WhenWorthIt);
    if (!index || index->options() != options) {
        return std::nullopt;
    }
    return IndexReplay::of(std::move(*index), folder, spelling, searchSubfolders);
}

std::optional<std::vector<IndexReplay>> IndexedSearch::prepare(const std::string& folder,
                                                               bool searchSubfolders,
                                                               bool searchInRecycleBin,
                                                               const std::atomic<bool>& stop) {
    const std::uint32_t recycleBins = searchInRecycleBin ? IndexData::kRecycleBinOption : 0;
    platform::Volumes& volumes = platform::currentPlatform().volumes();
    std::vector<IndexReplay> replays;
    if (FolderWalk::isAllVolumes(folder)) {
        for (const std::string& root : volumes.searchRoots()) {
            auto replay = replayOf(root, root, root, searchSubfolders,
                                   recycleBins | IndexData::kVolumeRootOption, stop);
            if (!replay) {
                return std::nullopt;
            }
            replays.push_back(std::move(*replay));
        }
        return replays;
    }
    const std::string resolved = volumes.resolvedFolder(folder);
    const std::optional<std::string> root = IndexStore().coveringRoot(resolved);
    auto replay = root ? replayOf(*root, resolved, folder, searchSubfolders, recycleBins, stop)
                       : std::nullopt;
    if (!replay) {
        return std::nullopt;
    }
    replays.push_back(std::move(*replay));
    return replays;
}

std::optional<IndexedSearch::RecordedWalk> IndexedSearch::recordedWalk(
    const std::string& folder, bool searchSubfolders, const NamePatternList& patterns,
    SearchObserver& observer, const std::atomic<bool>& stop, bool searchInRecycleBin,
    bool useIndex) {
    auto replays =
        useIndex ? prepare(folder, searchSubfolders, searchInRecycleBin, stop) : std::nullopt;
    if (!replays) {
        return std::nullopt;
    }
    std::uint64_t entries = 0;
    for (const IndexReplay& replay : *replays) {
        entries += replay.entryCount();
    }
    observer.answeredFromIndex(entries);
    auto shared = std::make_shared<std::vector<IndexReplay>>(std::move(*replays));
    return [shared, &patterns, &stop](FolderVisitor& visitor) {
        for (const IndexReplay& replay : *shared) {
            if (stop.load(std::memory_order_relaxed)) {
                return;
            }
            replay.walk(visitor, patterns, stop);
        }
    };
}

void IndexedSearch::run(const SearchCriteria& criteria, SearchObserver& observer,
                        const std::atomic<bool>& stop, bool searchInRecycleBin, bool useIndex) {
    FileSearch search(criteria, observer, stop, searchInRecycleBin);
    const auto walk =
        recordedWalk(criteria.folder, criteria.searchSubfolders, criteria.namePatterns, observer,
                     stop, searchInRecycleBin, useIndex);
    if (walk) {
        search.run(*walk);
    } else {
        search.run();
    }
}

void IndexedSearch::runDuplicates(const DuplicateRequest& request, SearchObserver& observer,
                                  const std::atomic<bool>& stop, bool searchInRecycleBin,
                                  bool useIndex) {
    DuplicateSearch search(request, observer, stop, searchInRecycleBin);
    const NamePatternList everyName;
    const auto walk =
        recordedWalk(request.folder, true, everyName, observer, stop, searchInRecycleBin, useIndex);
    if (walk) {
        search.run(*walk);
    } else {
        search.run();
    }
}

std::string IndexedSearch::answeredText(std::uint64_t entries, std::uint64_t milliseconds) {
    const NumberFormat numbers = NumberFormat::ofShownLanguage();
    return filledIn(translate("Searched the index of %s files in %s ms."), "%s",
                    {numbers.grouped(entries), numbers.grouped(milliseconds)});
}

}  // namespace quillfen
