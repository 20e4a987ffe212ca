#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "search/DuplicateRequest.h"
#include "search/FolderWalk.h"
#include "search/SearchObserver.h"

namespace quillfen {

// Finds every file that duplicates the reference by the request's name, extension, time and body
// rules. Folders are walked, never compared.
class DuplicateSearch : private FolderVisitor {
public:
    DuplicateSearch(const DuplicateRequest& request, SearchObserver& observer,
                    const std::atomic<bool>& stopRequested, bool searchInRecycleBin);

    void run();

private:
    void enterFolder(const std::string& folder) override;
    void visitEntry(const std::string& folder, const platform::FolderEntry& entry) override;
    bool wantsStatus(const platform::FolderEntry& entry) const override;
    bool passesNameRule(const std::string& foldedName) const;
    bool sameBody(const std::string& path, std::int64_t size);
    bool sameSmallBody(const std::string& path);
    bool sameLargeBody(const std::string& path);

    const DuplicateRequest& request_;
    SearchObserver& observer_;
    const std::atomic<bool>& stopRequested_;
    FolderWalk walk_;
    // The reference's content, read when a small candidate first needs it.
    std::optional<std::string> referenceContent_;
    bool referenceContentRead_ = false;
};

}  // namespace quillfen
