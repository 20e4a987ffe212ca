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
// listing is taken from the record. A folder's times move whenever an entry is added to it,
// removed from it or renamed in it, and whenever its access changes.
class IndexRefresh : public IndexRecorder {
public:
    IndexRefresh(const IndexView& recorded, const std::atomic<bool>& stop);

    IndexData run();
    // Looks up the recorded folders until one changed. Most searches find none, and then the
    // record is the answer as it stands, with no need to run.
    bool anyFolderChanged() const;
    // Whether any folder was listed anew, so the record on disk is out of date.
    bool changed() const { return relisted_ > 0; }
    // How many folders were listed anew.
    std::uint32_t relistedFolders() const { return relisted_; }

    bool knowsSubtree(const std::string& folder) const override;
    void supplySubtree(const std::string& folder) override;

private:
    void bringUpToDate(std::uint32_t folder);
    void replay(std::uint32_t folder);
    bool unchanged(std::uint32_t folder) const;

    const IndexView& recorded_;
    std::vector<std::string> paths_;
    std::unordered_map<std::string, std::uint32_t> folderAt_;
    // The folder that each folder entry names, by the entry.
    std::unordered_map<std::uint32_t, std::uint32_t> folderOfEntry_;
    std::uint32_t relisted_ = 0;
};

}  // namespace quillfen
