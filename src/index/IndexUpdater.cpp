#include "index/IndexUpdater.h"

#include "app/PathHelpers.h"
#include "index/IndexFormat.h"
#include "index/IndexRecorder.h"
#include "index/IndexRefresh.h"
#include "platform/Platform.h"

namespace quillfen {

IndexUpdater::IndexUpdater(const IndexStore& store, const std::atomic<bool>& stop,
                           int lockWaitMilliseconds)
    : store_(store), stop_(stop), lockWait_(lockWaitMilliseconds) {}

std::optional<IndexView> IndexUpdater::build(const std::string& root, std::uint32_t options,
                                             const IndexRecorder::Progress& progress) const {
    const auto lock = store_.lock(root, lockWait_);
    if (!lock) {
        return std::nullopt;
    }
    IndexRecorder recorder(root, options, stop_);
    recorder.onProgress(progress);
    recorder.walkFrom(root);
    auto index = std::make_shared<const IndexData>(recorder.finish());
    if (stopped() || !store_.save(root, IndexFormat::encode(*index))) {
        return std::nullopt;
    }
    return IndexView::ofRecord(std::move(index));
}

// A refresh that could not be written still answers: it is what the folders hold now.
std::optional<IndexView> IndexUpdater::refresh(const std::string& root, Write write,
                                               const IndexRecorder::Progress& progress) const {
    // Listing one folder in this many again costs a search less than rewriting the file.
    constexpr std::uint32_t kFoldersPerRelisting = 32;
    const auto lock = store_.lock(root, lockWait_);
    if (!lock) {
        return std::nullopt;
    }
    std::shared_ptr<const IndexData> index;
    bool rewrite = false;
    // The old file is let go of before the new one takes its name: Windows replaces no file
    // that is mapped.
    {
        std::optional<IndexView> recorded = store_.load(root);
        if (!recorded) {
            return std::nullopt;
        }
        IndexRefresh refresh(*recorded, stop_);
        refresh.onProgress(progress);
        if (!refresh.anyFolderChanged()) {
            return recorded;
        }
        index = std::make_shared<const IndexData>(refresh.run());
        if (stopped()) {
            return std::nullopt;
        }
        const bool worthIt =
            refresh.relistedFolders() * kFoldersPerRelisting > recorded->folderCount();
        rewrite = refresh.changed() && (write == Write::Always || worthIt);
    }
    if (rewrite && !store_.save(root, IndexFormat::encode(*index)) && write == Write::Always) {
        return std::nullopt;
    }
    return IndexView::ofRecord(std::move(index));
}

IndexUpdater::State IndexUpdater::stateOf(const IndexView& index) const {
    const platform::EntryStatus root =
        platform::currentPlatform().files().entryStatus(withoutTrailingSeparator(index.root()));
    if (root.kind != platform::EntryKind::Directory ||
        root.identity.value_or(platform::FileIdentity{}) != index.folder(0).identity) {
        return State::FolderMissing;
    }
    if (!store_.lock(index.root(), 0)) {
        return State::BeingRebuilt;
    }
    return IndexRefresh(index, stop_).anyFolderChanged() ? State::NeedsChecking : State::Current;
}

}  // namespace quillfen
