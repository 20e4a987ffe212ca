#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "index/IndexData.h"
#include "index/IndexStore.h"

namespace quillfen {

// Builds and refreshes the stored indexes, one updater of an index at a time.
class IndexUpdater {
public:
    IndexUpdater(const IndexStore& store, const std::atomic<bool>& stop, int lockWaitMilliseconds);

    // Records a new index of `root` (resolved, ending with a separator) and stores it; nothing
    // when stopped, when another updater kept the lock or when it could not be written.
    std::optional<IndexData> build(const std::string& root, bool searchInRecycleBin) const;
    // The stored index of `root` brought up to date, rewritten when anything changed; nothing
    // when there is no sound index, when another updater kept the lock or when stopped.
    std::optional<IndexData> refresh(const std::string& root) const;

private:
    bool stopped() const { return stop_.load(); }

    const IndexStore& store_;
    const std::atomic<bool>& stop_;
    int lockWait_;
};

}  // namespace quillfen
