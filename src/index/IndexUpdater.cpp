#include "index/IndexUpdater.h"

#include "index/IndexRecorder.h"
#include "index/IndexRefresh.h"

namespace quillfen {

IndexUpdater::IndexUpdater(const IndexStore& store, const std::atomic<bool>& stop,
                           int lockWaitMilliseconds)
    : store_(store), stop_(stop), lockWait_(lockWaitMilliseconds) {}

std::optional<IndexData> IndexUpdater::build(const std::string& root,
                                             bool searchInRecycleBin) const {
    const auto lock = store_.lock(root, lockWait_);
    if (!lock) {
        return std::nullopt;
    }
    IndexRecorder recorder(root, searchInRecycleBin ? IndexData::kRecycleBinOption : 0, stop_);
    recorder.walkFrom(root);
    IndexData index = recorder.finish();
    if (stopped() || !store_.save(index)) {
        return std::nullopt;
    }
    return index;
}

// A refresh that could not be written still answers: it is what the folders hold now.
std::optional<IndexData> IndexUpdater::refresh(const std::string& root) const {
    const auto lock = store_.lock(root, lockWait_);
    if (!lock) {
        return std::nullopt;
    }
    std::optional<IndexData> recorded = store_.load(root);
    if (!recorded) {
        return std::nullopt;
    }
    IndexRefresh refresh(*recorded, stop_);
    if (!refresh.anyFolderChanged()) {
        return recorded;
    }
    IndexData index = refresh.run();
    if (stopped()) {
        return std::nullopt;
    }
    if (refresh.changed()) {
        store_.save(index);
    }
    return index;
}

}  // namespace quillfen
