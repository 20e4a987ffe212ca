#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "index/IndexNameScan.h"
#include "index/IndexView.h"
#include "search/FolderWalk.h"
#include "search/NamePattern.h"

namespace quillfen {

// Visits the recorded subtree of one folder as a walk of that folder would, spelt from the
// folder as the search was given it. Entries whose names cannot pass are left out of the
// visits, and every other entry is looked up once now: one that is gone is left out, the
// others carry the size and time they have now.
class IndexReplay {
public:
    IndexReplay(IndexView index, std::uint32_t folder, std::string spelling, bool subfolders);
    // The replay of the recorded folder whose path is `folder` (resolved, ending with a
    // separator); nothing when the walk did not enter it.
    static std::optional<IndexReplay> of(IndexView index, const std::string& folder,
                                         std::string spelling, bool subfolders);

    void walk(FolderVisitor& visitor, const NamePatternList& patterns,
              const std::atomic<bool>& stop) const;
    // The recorded entries the walk goes through: the folder's subtree, or its own listing when
    // subfolders are not searched.
    std::uint64_t entryCount() const;

private:
    // An entry as it is now.
    struct LookedUp {
        platform::EntryStatus status;
        bool isFolder = false;
    };

    std::vector<std::uint32_t> entriesThatPass(const IndexNameScan& scan, std::uint32_t first,
                                               std::uint32_t end) const;
    std::vector<LookedUp> lookUp(const std::vector<std::uint32_t>& entries, std::size_t from,
                                 std::size_t to) const;
    void lookUpInto(const std::vector<std::uint32_t>& entries, std::size_t from, std::size_t to,
                    LookedUp* into) const;
    void enter(FolderVisitor& visitor, std::uint32_t folder) const;
    void visit(FolderVisitor& visitor, std::uint32_t entry, const LookedUp& now) const;
    std::string pathOf(std::uint32_t folder) const;

    IndexView index_;
    std::uint32_t folder_;
    std::string spelling_;
    bool subfolders_;
    std::vector<std::string> paths_;
};

}  // namespace quillfen
