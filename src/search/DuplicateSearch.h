#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/RandomAccessFile.h"
#include "search/DuplicateRequest.h"
#include "search/FolderWalk.h"
#include "search/OrderedFileTests.h"
#include "search/SearchObserver.h"

namespace quillfen {

// Finds every file that duplicates the reference by the request's name, extension, time and body
// rules. Folders are walked, never compared.
class DuplicateSearch : private FolderVisitor {
public:
    DuplicateSearch(const DuplicateRequest& request, SearchObserver& observer,
                    const std::atomic<bool>& stopRequested, bool searchInRecycleBin);

    void run();
    // The same over a recorded walk, which visits what the walk of the request's folder would.
    void run(const std::function<void(FolderVisitor&)>& recordedWalk);

private:
    void enterFolder(const std::string& folder) override;
    void visitEntry(const std::string& folder, const platform::FolderEntry& entry) override;
    void folderUnreadable(const std::string& folder, const std::string& reason) override;
    bool wantsStatus(const platform::FolderEntry& entry) const override;
    bool passesNameRule(const std::string& foldedName) const;
    bool isReference(const std::string& path, const platform::EntryStatus& status) const;
    // The reference's `count` bytes at `offset`, or nullptr when they cannot be read.
    using ReferenceBytes = std::function<const char*(std::int64_t offset, std::int64_t count)>;

    bool sameBody(const std::string& path, std::int64_t size) const;
    // Compares the candidate's bytes from `begin` to `end`, read through `buffer`, which holds
    // the file's size or one middle block, whichever is smaller.
    bool sameRange(platform::RandomAccessFile& candidate, std::int64_t begin, std::int64_t end,
                   const ReferenceBytes& referenceBytes, char* buffer) const;
    // A read buffer for a comparison of files of `fileSize` bytes.
    static std::unique_ptr<char[]> newBlock(std::int64_t fileSize);

    const DuplicateRequest& request_;
    SearchObserver& observer_;
    const std::atomic<bool>& stopRequested_;
    std::uint64_t filesLookedAt_ = 0;
    FolderWalk walk_;
    // The reference's content when it is small, read before the walk.
    std::optional<std::string> referenceContent_;
    // Present while a search that compares bodies runs.
    OrderedFileTests* bodyTests_ = nullptr;
};

}  // namespace quillfen
