#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/FileSystem.h"
#include "search/ListingLookahead.h"
#include "search/PendingFolder.h"

namespace quillfen {

// Receives a walk's folders and entries in walk order.
class FolderVisitor {
public:
    virtual ~FolderVisitor() = default;

    // A folder's listing is about to be read; `folder` ends with a separator.
    virtual void enterFolder(const std::string& folder) = 0;
    // One entry of the folder, in listing order; a folder is visited before its contents.
    virtual void visitEntry(const std::string& folder, const platform::FolderEntry& entry) = 0;
    // A folder the walk could not read, or not to its end, with the system's reason; what was
    // read of it is still visited.
    virtual void folderUnreadable(const std::string& /*folder*/, const std::string& /*reason*/) {}
    // Whether the entry's status should come with the listing (see platform::StatusWanted). May
    // be called on another thread than the visits, for folders not yet visited.
    virtual bool wantsStatus(const platform::FolderEntry& /*entry*/) const { return false; }
    // Whether the visitor already holds the subtree of a folder the walk is about to enter, so
    // that the walk neither lists nor enters it and the visitor supplies it in its place. May be
    // called on another thread than the visits.
    virtual bool knowsSubtree(const std::string& /*folder*/) const { return false; }
    // Stands in for the walk of a folder whose subtree the visitor said it knows, at the point in
    // the walk's order where that walk would have been.
    virtual void supplySubtree(const std::string& /*folder*/) {}
};

// Walks a folder tree depth-first and pre-order, in the order the system lists each folder, for
// both the file search and the duplicate search. A folder's listing is read completely before its
// entries are visited. The walk keeps its own stack, so no tree is too deep for it, and it never
// enters symbolic links to folders, so it has no cycles. Listings are read ahead on a few threads
// where the machine has more than one core; the visitor is only ever called on the walking thread.
class FolderWalk {
public:
    struct Options {
        bool searchSubfolders = true;
        bool searchInRecycleBin = false;
        // Entries that may be read ahead of the visits; the walk reads no listing ahead when
        // the machine has a single core.
        std::size_t readAheadAllowance = ListingLookahead::kDefaultAllowance;
        // Threads that read listings ahead, each with one listing in flight.
        std::size_t readAheadListers = ListingLookahead::kDefaultListers;
        // Walks one folder as the walk of every volume walks each volume's root: without
        // entering the other volumes mounted below it.
        bool staysOnVolume = false;
    };

    FolderWalk(const std::atomic<bool>& stopRequested, Options options);

    // Walks `lookIn`, which ends with a separator. The text "*" followed by the separator walks
    // every volume root in the system's order, each without entering other volumes.
    void walk(const std::string& lookIn, FolderVisitor& visitor);

    // True when `lookIn` names every volume ("*" and the separator).
    static bool isAllVolumes(const std::string& lookIn);

private:
    struct Frame {
        std::shared_ptr<PendingFolder> folder;
        size_t nextEntry = 0;
        size_t nextSubfolder = 0;
    };

    void knowMountPointsBelow(const std::string& lookIn);
    void walkRoot(const std::string& root, ListingLookahead& lookahead, FolderVisitor& visitor);
    void pushFolder(std::vector<Frame>& stack, std::shared_ptr<PendingFolder> folder,
                    ListingLookahead& lookahead, FolderVisitor& visitor);
    // Reads a folder's listing and picks the subfolders to enter; runs on either thread.
    void list(PendingFolder& folder, const FolderVisitor& visitor) const;
    bool mayEnter(const std::string& folder, const platform::FolderEntry& entry) const;
    bool mayEnterMountPoint(const std::string& subfolder) const;
    void knowUserTrash(std::string folder);
    bool isUserTrash(const std::string& folder, const std::string& name) const;
    bool isRecycleBin(const std::string& folder, const std::string& name) const;
    bool stopped() const { return stopRequested_.load(std::memory_order_relaxed); }

    const std::atomic<bool>& stopRequested_;
    Options options_;
    char separator_;
    bool stayOnVolume_ = false;
    std::unordered_set<std::string> mountPoints_;
    std::unordered_set<std::string> pseudoMountPoints_;
    std::vector<std::string> recycleBinNames_;
    std::string userTrashName_;
    std::optional<platform::FileIdentity> userTrash_;
};

}  // namespace quillfen
