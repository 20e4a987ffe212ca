#include "index/IndexRefresh.h"

#include <algorithm>

#include "app/PathHelpers.h"
#include "platform/Platform.h"

namespace quillfen {

IndexRefresh::IndexRefresh(const IndexView& recorded, const std::atomic<bool>& stop)
    : IndexRecorder(recorded.root(), recorded.options(), stop),
      recorded_(recorded),
      paths_(recorded.folderPaths(platform::currentPlatform().files().separator())) {
    for (std::uint32_t folder = 0; folder < paths_.size(); ++folder) {
        folderAt_.emplace(paths_[folder], folder);
        folderOfEntry_.emplace(recorded.folder(folder).entry, folder);
    }
}

IndexData IndexRefresh::run() {
    bringUpToDate(0);
    return finish();
}

bool IndexRefresh::anyFolderChanged() const {
    for (std::uint32_t folder = 0; folder < paths_.size(); ++folder) {
        if (!unchanged(folder)) {
            return true;
        }
    }
    return false;
}

bool IndexRefresh::knowsSubtree(const std::string& folder) const {
    return folderAt_.contains(folder);
}

void IndexRefresh::supplySubtree(const std::string& folder) {
    bringUpToDate(folderAt_.at(folder));
}

void IndexRefresh::bringUpToDate(std::uint32_t folder) {
    if (stop().load(std::memory_order_relaxed)) {
        return;
    }
    if (unchanged(folder)) {
        replay(folder);
        return;
    }
    ++relisted_;
    walkFrom(paths_[folder]);
}

bool IndexRefresh::unchanged(std::uint32_t folder) const {
    const IndexData::Folder recorded = recorded_.folder(folder);
    const platform::EntryStatus now =
        platform::currentPlatform().files().entryStatus(withoutTrailingSeparator(paths_[folder]));
    return now.kind == platform::EntryKind::Directory && now.writeTime == recorded.writeTime &&
           now.changeTime == recorded.changeTime &&
           now.identity.value_or(platform::FileIdentity{}) == recorded.identity;
}

// The folder's own entries as recorded, each recorded subfolder brought up to date in its place.
void IndexRefresh::replay(std::uint32_t folder) {
    const IndexData::Folder recorded = recorded_.folder(folder);
    platform::EntryStatus status;
    status.kind = platform::EntryKind::Directory;
    status.writeTime = recorded.writeTime;
    status.changeTime = recorded.changeTime;
    status.identity = recorded.identity;
    openFolder(paths_[folder], status);
    if (recorded.reasonLength > 0) {
        folderUnreadable(paths_[folder], std::string(recorded_.reason(recorded)));
    }
    std::uint32_t at = recorded.first;
    while (at < recorded.end) {
        const IndexData::Entry entry = recorded_.entry(at);
        platform::FolderEntry visited;
        visited.name = recorded_.name(at);
        visited.isFolder = (entry.flags & IndexData::kFolderFlag) != 0;
        visited.isLink = (entry.flags & IndexData::kLinkFlag) != 0;
        visited.status = platform::EntryStatus{platform::EntryKind::File, entry.size,
                                               entry.writeTime, 0, std::nullopt};
        visitEntry(paths_[folder], visited);
        const auto subfolder = folderOfEntry_.find(at);
        if (subfolder == folderOfEntry_.end()) {
            ++at;
            continue;
        }
        bringUpToDate(subfolder->second);
        at = std::max(at + 1, recorded_.folder(subfolder->second).end);
    }
}

}  // namespace quillfen
