#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "index/IndexData.h"
#include "index/IndexRecorder.h"
#include "index/IndexView.h"

namespace quillfen {

// Brings a recorded walk up to date without walking all of it again. Every recorded folder is
// looked up once; a folder whose time, change time or identity moved is listed anew by the walk,
// which asks for the recorded subtrees of the subfolders it still finds; every other folder's
// listing is taken from the record, a subtree in which no folder changed as one block. A
// folder's times move whenever an entry is added to it, removed from it or renamed in it, and
// whenever its access changes. The cost is the lookups, the listings of what changed and a copy
// of the rest.
class IndexRefresh : public IndexRecorder {
public:
    IndexRefresh(const IndexView& recorded, const std::atomic<bool>& stop);

    IndexData run();
    // Most searches find no folder changed, and then the record is the answer as it stands, with
    // no need to run.
    bool anyFolderChanged() const { return changedFolders_ > 0; }
    // Whether any folder was listed anew, so the record on disk is out of date.
    bool changed() const { return relisted_ > 0; }
    // How many folders were listed anew.
    std::uint32_t relistedFolders() const { return relisted_; }

    bool knowsSubtree(const std::string& folder) const override;
    void supplySubtree(const std::string& folder) override;

private:
    void lookUpFolders(std::uint32_t first, std::uint32_t end);
    void bringUpToDate(std::uint32_t folder);
    void replay(std::uint32_t folder);
    void copySubtree(std::uint32_t folder);

    const IndexView& recorded_;
    std::vector<std::string> paths_;
    // Per recorded folder: whether it changed, and whether any folder of its subtree did.
    std::vector<char> changed_;
    std::vector<char> subtreeChanged_;
    std::uint32_t changedFolders_ = 0;
    std::unordered_map<std::string, std::uint32_t> folderAt_;
    std::uint32_t relisted_ = 0;
};

}  // namespace quillfen
