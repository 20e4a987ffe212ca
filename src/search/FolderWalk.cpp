#include "search/FolderWalk.h"

#include <algorithm>
#include <thread>

#include "app/TextUtilities.h"
#include "platform/Platform.h"

namespace quillfen {

FolderWalk::FolderWalk(const std::atomic<bool>& stopRequested, Options options)
    : stopRequested_(stopRequested),
      options_(options),
      separator_(platform::currentPlatform().files().separator()) {
    const platform::Volumes& volumes = platform::currentPlatform().volumes();
    const std::vector<std::string> roots = volumes.searchRoots();
    for (const std::string& point : volumes.mountPoints()) {
        mountPoints_.insert(point);
        if (std::find(roots.begin(), roots.end(), point) == roots.end()) {
            pseudoMountPoints_.insert(point);
        }
    }
    recycleBinNames_ = volumes.recycleBinNames();
    knowUserTrash(volumes.userTrashFolder());
}

// The trash is recognised by its identity, so any spelling of the path the walk started from
// reaches the same decision.
void FolderWalk::knowUserTrash(std::string folder) {
    while (!folder.empty() && folder.back() == separator_) {
        folder.pop_back();
    }
    if (folder.empty()) {
        return;
    }
    const platform::EntryStatus trash = platform::currentPlatform().files().targetStatus(folder);
    if (trash.kind != platform::EntryKind::Directory || !trash.identity) {
        return;
    }
    userTrashName_ = folder.substr(folder.rfind(separator_) + 1);
    userTrash_ = trash.identity;
}

bool FolderWalk::isAllVolumes(const std::string& lookIn) {
    return lookIn.size() == 2 && lookIn[0] == '*' &&
           lookIn[1] == platform::currentPlatform().files().separator();
}

void FolderWalk::walk(const std::string& lookIn, FolderVisitor& visitor) {
    ListingLookahead lookahead(
        stopRequested_, [this, &visitor](PendingFolder& folder) { list(folder, visitor); },
        options_.searchSubfolders && std::thread::hardware_concurrency() > 1
            ? options_.readAheadAllowance
            : 0,
        options_.readAheadListers);
    if (!isAllVolumes(lookIn)) {
        stayOnVolume_ = options_.staysOnVolume;
        knowMountPointsBelow(lookIn);
        walkRoot(lookIn, lookahead, visitor);
        return;
    }
    stayOnVolume_ = true;
    for (const std::string& root : platform::currentPlatform().volumes().searchRoots()) {
        if (stopped()) {
            return;
        }
        walkRoot(root, lookahead, visitor);
    }
}

// Mount points are listed by their resolved paths, while the walk spells every folder from the
// folder it was given, which may be a link, "." or hold "..". The walk never enters a link, so a
// mount point below the folder is reached by the given spelling followed by the rest of its
// resolved path.
void FolderWalk::knowMountPointsBelow(const std::string& lookIn) {
    const std::string resolved = platform::currentPlatform().volumes().resolvedFolder(lookIn);
    if (resolved == lookIn) {
        return;
    }
    const auto respell = [&](const std::unordered_set<std::string>& points) {
        std::vector<std::string> below;
        for (const std::string& point : points) {
            if (point.size() > resolved.size() && point.starts_with(resolved)) {
                below.push_back(lookIn + point.substr(resolved.size()));
            }
        }
        return below;
    };
    for (std::string& point : respell(pseudoMountPoints_)) {
        pseudoMountPoints_.insert(std::move(point));
    }
    for (std::string& point : respell(mountPoints_)) {
        mountPoints_.insert(std::move(point));
    }
}

void FolderWalk::walkRoot(const std::string& root, ListingLookahead& lookahead,
                          FolderVisitor& visitor) {
    std::vector<Frame> stack;
    pushFolder(stack, std::make_shared<PendingFolder>(root), lookahead, visitor);
    while (!stack.empty()) {
        if (stopped()) {
            return;
        }
        Frame& frame = stack.back();
        PendingFolder& folder = *frame.folder;
        if (frame.nextEntry == folder.entries.size()) {
            lookahead.release(folder);
            stack.pop_back();
            continue;
        }
        const size_t index = frame.nextEntry++;
        visitor.visitEntry(folder.folder, folder.entries[index]);
        if (frame.nextSubfolder < folder.subfolders.size() &&
            folder.subfolders[frame.nextSubfolder].first == index) {
            // The frame reference dies with the push; take what is needed first.
            std::shared_ptr<PendingFolder> subfolder =
                folder.subfolders[frame.nextSubfolder++].second;
            if (!subfolder) {
                visitor.supplySubtree(folder.folder + folder.entries[index].name + separator_);
                continue;
            }
            pushFolder(stack, std::move(subfolder), lookahead, visitor);
        }
    }
}

void FolderWalk::pushFolder(std::vector<Frame>& stack, std::shared_ptr<PendingFolder> folder,
                            ListingLookahead& lookahead, FolderVisitor& visitor) {
    visitor.enterFolder(folder->folder);
    lookahead.obtain(*folder);
    if (!folder->failure.empty()) {
        visitor.folderUnreadable(folder->folder, folder->failure);
    }
    stack.push_back(Frame{std::move(folder)});
}

void FolderWalk::list(PendingFolder& folder, const FolderVisitor& visitor) const {
    platform::currentPlatform().files().listFolder(
        folder.folder, folder.entries, stopRequested_,
        [&visitor](const platform::FolderEntry& entry) { return visitor.wantsStatus(entry); },
        &folder.failure);
    for (size_t index = 0; index < folder.entries.size(); ++index) {
        const platform::FolderEntry& entry = folder.entries[index];
        if (!mayEnter(folder.folder, entry)) {
            continue;
        }
        std::string subfolder = folder.folder + entry.name + separator_;
        if (!mayEnterMountPoint(subfolder)) {
            continue;
        }
        // A subtree the visitor supplies is marked by a missing folder, which nobody lists.
        folder.subfolders.emplace_back(index, visitor.knowsSubtree(subfolder)
                                                  ? nullptr
                                                  : std::make_shared<PendingFolder>(subfolder));
    }
}

bool FolderWalk::mayEnter(const std::string& folder, const platform::FolderEntry& entry) const {
    if (!entry.isFolder || entry.isLink || !options_.searchSubfolders) {
        return false;
    }
    return options_.searchInRecycleBin || !isRecycleBin(folder, entry.name);
}

bool FolderWalk::mayEnterMountPoint(const std::string& subfolder) const {
    if (!mountPoints_.contains(subfolder)) {
        return true;
    }
    // Kernel interfaces are never walked, and a walk of every volume leaves each volume to its
    // own root so that no file is listed twice.
    return !stayOnVolume_ && !pseudoMountPoints_.contains(subfolder);
}

bool FolderWalk::isUserTrash(const std::string& folder, const std::string& name) const {
    if (userTrashName_.empty() || name != userTrashName_) {
        return false;
    }
    const platform::EntryStatus status =
        platform::currentPlatform().files().entryStatus(folder + name);
    return status.kind == platform::EntryKind::Directory && status.identity == userTrash_;
}

// Names are compared first, so the volume is asked about a folder only when it holds an entry
// named like a recycle bin. Whether the folder is a volume's root is then decided by the folder
// itself, not by the spelling of its path.
bool FolderWalk::isRecycleBin(const std::string& folder, const std::string& name) const {
    if (isUserTrash(folder, name)) {
        return true;
    }
    const bool namedLikeRecycleBin =
        std::any_of(recycleBinNames_.begin(), recycleBinNames_.end(),
                    [&name](const std::string& bin) { return equalsIgnoringAsciiCase(name, bin); });
    return namedLikeRecycleBin && platform::currentPlatform().volumes().isMountRoot(folder);
}

}  // namespace quillfen
