#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "index/IndexData.h"
#include "search/FolderWalk.h"

namespace quillfen {

// Records what a walk visits, in the walk's order, as an index. The walk itself decides what is
// entered (links, other volumes, recycle bins), so the record holds exactly what a search that
// walks would see.
class IndexRecorder : public FolderVisitor {
public:
    // Told of each folder as it is entered, with the entries recorded so far.
    using Progress = std::function<void(const std::string& folder, std::uint64_t entries)>;

    IndexRecorder(std::string root, std::uint32_t options, const std::atomic<bool>& stop);

    // Walks `folder` into the record at the current point of the recorded order: the indexed
    // folder first, later a folder whose listing changed.
    void walkFrom(const std::string& folder);
    // The record so far, every open folder closed.
    IndexData finish();
    void onProgress(Progress progress) { progress_ = std::move(progress); }

    void enterFolder(const std::string& folder) override;
    void visitEntry(const std::string& folder, const platform::FolderEntry& entry) override;
    void folderUnreadable(const std::string& folder, const std::string& reason) override;
    // Every entry's size and time are kept, and a folder's status from its parent's listing is
    // the one it had before its own listing was read.
    bool wantsStatus(const platform::FolderEntry&) const override { return true; }

protected:
    // Opens a folder's record; its entries follow.
    void openFolder(const std::string& path, const platform::EntryStatus& status);
    // Closes the folders opened since `openFolders()` was this many.
    void closeFoldersTo(std::size_t depth);
    std::size_t openFolders() const { return open_.size(); }
    // The record as far as it goes, for what is taken over from an earlier one as it stands.
    IndexData& record() { return index_; }
    const std::atomic<bool>& stop() const { return stop_; }

private:
    void closeFoldersUntil(const std::string& folder);

    IndexData index_;
    const std::atomic<bool>& stop_;
    // The folders whose subtrees are still being recorded, innermost last.
    std::vector<std::pair<std::string, std::uint32_t>> open_;
    platform::EntryStatus lastStatus_;
    bool nextIsWalkRoot_ = false;
    Progress progress_;
};

}  // namespace quillfen
