#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "index/IndexRecorder.h"
#include "index/IndexStore.h"
#include "index/IndexView.h"

namespace quillfen {

// Builds and refreshes the stored indexes, one updater of an index at a time.
class IndexUpdater {
public:
    // When a refresh that listed folders anew rewrites the index file: always, or only when the
    // folders listed are enough that listing them again at each search would cost more than
    // writing the whole file once.
    enum class Write { Always, WhenWorthIt };

    // What a stored index can tell of its folder without being brought up to date.
    enum class State { Current, NeedsChecking, BeingRebuilt, FolderMissing };

    IndexUpdater(const IndexStore& store, const std::atomic<bool>& stop, int lockWaitMilliseconds);

    // Records a new index of `root` (resolved, ending with a separator) and stores it; nothing
    // when stopped, when another updater kept the lock or when it could not be written.
    // `options` as IndexData's option bits.
    std::optional<IndexView> build(const std::string& root, std::uint32_t options,
                                   const IndexRecorder::Progress& progress = {}) const;
    // The stored index of `root` brought up to date, rewritten as `write` says; nothing when
    // there is no sound index, when another updater kept the lock, when stopped, or when it
    // had to be written and could not be.
    std::optional<IndexView> refresh(const std::string& root, Write write,
                                     const IndexRecorder::Progress& progress = {}) const;
    // Looks up the recorded folders; a folder that is gone, or is another folder now (another
    // volume mounted in its place), is missing.
    State stateOf(const IndexView& index) const;

private:
    bool stopped() const { return stop_.load(); }

    const IndexStore& store_;
    const std::atomic<bool>& stop_;
    int lockWait_;
};

}  // namespace quillfen
