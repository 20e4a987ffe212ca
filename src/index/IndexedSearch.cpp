#include "index/IndexedSearch.h"

#include "index/IndexStore.h"
#include "index/IndexUpdater.h"
#include "platform/Platform.h"
#include "search/FolderWalk.h"

namespace quillfen {

namespace {

// Another updater that holds the index longer than this is left to it: the search walks.
constexpr int kLockWaitMilliseconds = 2000;

std::optional<std::uint32_t> folderIn(const IndexData& index, const std::string& folder) {
    const std::vector<std::string> paths =
        index.folderPaths(platform::currentPlatform().files().separator());
    for (std::uint32_t at = 0; at < paths.size(); ++at) {
        if (paths[at] == folder) {
            return at;
        }
    }
    return std::nullopt;
}

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
    std::optional<IndexData> index =
        IndexUpdater(store, stop, kLockWaitMilliseconds).refresh(*root);
    const bool sameSetting =
        index && ((index->options & IndexData::kRecycleBinOption) != 0) == searchInRecycleBin;
    if (!sameSetting) {
        return std::nullopt;
    }
    const std::optional<std::uint32_t> folder = folderIn(*index, resolved);
    if (!folder) {
        return std::nullopt;
    }
    return IndexReplay(std::move(*index), *folder, criteria.folder, criteria.searchSubfolders);
}

}  // namespace quillfen
