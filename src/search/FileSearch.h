#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "search/FolderWalk.h"
#include "search/OrderedFileTests.h"
#include "search/SearchCriteria.h"
#include "search/SearchObserver.h"

namespace quillfen {

// One search of the search window: walks the criteria's folder (or every volume) and reports each
// entry that passes the name, size, date and content tests, in that order of tests, each test
// made only for entries that passed the ones before.
class FileSearch : private FolderVisitor {
public:
    FileSearch(const SearchCriteria& criteria, SearchObserver& observer,
               const std::atomic<bool>& stopRequested, bool searchInRecycleBin);

    void run();
    // The same search over a recorded walk, which visits as the walk of the criteria's folder
    // would.
    void run(const std::function<void(FolderVisitor&)>& recordedWalk);

private:
    void enterFolder(const std::string& folder) override;
    void visitEntry(const std::string& folder, const platform::FolderEntry& entry) override;
    void folderUnreadable(const std::string& folder, const std::string& reason) override;
    bool wantsStatus(const platform::FolderEntry& entry) const override;
    bool needsStatus(bool isFolder) const;
    bool passesName(const std::string& name, std::string& folded) const;
    bool passesSize(std::int64_t size) const;
    bool passesDate(platform::FileTime time) const;
    void reportUnreadableFiles();

    const SearchCriteria& criteria_;
    SearchObserver& observer_;
    const std::atomic<bool>& stopRequested_;
    std::uint64_t filesLookedAt_ = 0;
    const bool rowNeedsDetails_;
    FolderWalk walk_;
    std::string folded_;
    // Present while a search with a content test runs.
    OrderedFileTests* contentTests_ = nullptr;
    // Files whose content could not be read, with the reason, not yet reported.
    std::mutex unreadableMutex_;
    std::vector<std::pair<std::string, std::string>> unreadableFiles_;
};

}  // namespace quillfen
