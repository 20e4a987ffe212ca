#include "index/IndexedSearch.h"

#include "app/LanguageTable.h"
#include "app/NumberFormat.h"
#include "app/TextUtilities.h"
#include "index/IndexStore.h"
#include "index/IndexUpdater.h"
#include "platform/Platform.h"
#include "search/FileSearch.h"
#include "search/FolderWalk.h"

namespace quillfen {

namespace {

// Another updater that holds the index longer than this is left to it: the search walks.
constexpr int kLockWaitMilliseconds = 2000;

}  // namespace

std::optional<IndexReplay> IndexedSearch::prepare(const SearchCriteria& criteria,
                                                  bool searchInRecycleBin,
                                                  const std::atomic<bool>& stop) {
    if (criteria.content.active() || FolderWalk::isAllVolumes(criteria.folder)) {
        return std::nullopt;
    }
    const std::string resolved =
        platform::currentPlatform().volumes().resolvedFolder(criteria.folder);
    const IndexStore store;
    const std::optional<std::string> root = store.coveringRoot(resolved);
    if (!root) {
        return std::nullopt;
    }
    std::optional<IndexView> index =
        IndexUpdater(store, stop, kLockWaitMilliseconds).refresh(*root);
    const bool sameSetting =
        index && ((index->options() & IndexData::kRecycleBinOption) != 0) == searchInRecycleBin;
    if (!sameSetting) {
        return std::nullopt;
    }
    return IndexReplay::of(std::move(*index), resolved, criteria.folder, criteria.searchSubfolders);
}

void IndexedSearch::run(const SearchCriteria& criteria, SearchObserver& observer,
                        const std::atomic<bool>& stop, bool searchInRecycleBin, bool useIndex) {
    FileSearch search(criteria, observer, stop, searchInRecycleBin);
    const std::optional<IndexReplay> indexed =
        useIndex ? prepare(criteria, searchInRecycleBin, stop) : std::nullopt;
    if (!indexed) {
        search.run();
        return;
    }
    observer.answeredFromIndex(indexed->entryCount());
    search.run(
        [&](FolderVisitor& visitor) { indexed->walk(visitor, criteria.namePatterns, stop); });
}

std::string IndexedSearch::answeredText(std::uint64_t entries, std::uint64_t milliseconds) {
    const NumberFormat numbers = NumberFormat::ofShownLanguage();
    return filledIn(translate("Searched the index of %s files in %s ms."), "%s",
                    {numbers.grouped(entries), numbers.grouped(milliseconds)});
}

}  // namespace quillfen
