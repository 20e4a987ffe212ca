#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "index/IndexData.h"
#include "search/FolderWalk.h"
#include "search/NamePattern.h"

namespace quillfen {

// Visits the recorded subtree of one folder as a walk of that folder would, spelt from the
// folder as the search was given it. Entries whose names cannot pass are left out of the
// visits, and every other entry is looked up once now: one that is gone is left out, the
// others carry the size and time they have now.
class IndexReplay {
public:
    // Below this many entries a second thread costs more than it saves.
    static constexpr std::uint32_t kEntriesPerChunk = 16384;

    IndexReplay(IndexData index, std::uint32_t folder, std::string spelling, bool subfolders);

    void walk(FolderVisitor& visitor, const NamePatternList& patterns,
              const std::atomic<bool>& stop) const;
    // The recorded entries the walk goes through: the folder's subtree, or its own listing when
    // subfolders are not searched.
    std::uint64_t entryCount() const;

private:
    void enter(FolderVisitor& visitor, std::uint32_t folder) const;
    void visit(FolderVisitor& visitor, std::uint32_t entry) const;
    std::vector<char> namesThatPass(const NamePatternList& patterns) const;
    void testNames(const NamePatternList& patterns, std::uint32_t first, std::uint32_t end,
                   std::vector<char>& passes) const;
    static bool linkMayPass(const NamePatternList& patterns, std::string name, char separator);
    std::string pathOf(std::uint32_t folder) const;

    IndexData index_;
    std::uint32_t folder_;
    std::string spelling_;
    bool subfolders_;
    std::vector<std::string> paths_;
    std::vector<std::uint32_t> folderOfEntry_;
};

}  // namespace quillfen
