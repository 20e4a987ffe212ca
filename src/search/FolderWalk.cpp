#include "search/FolderWalk.h"

#include <algorithm>

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
    userTrash_ = volumes.userTrashFolder();
}

bool FolderWalk::isAllVolumes(const std::string& lookIn) {
    return lookIn.size() == 2 && lookIn[0] == '*' &&
           lookIn[1] == platform::currentPlatform().files().separator();
}

void FolderWalk::walk(const std::string& lookIn, FolderVisitor& visitor) {
    if (!isAllVolumes(lookIn)) {
        stayOnVolume_ = false;
        walkRoot(lookIn, visitor);
        return;
    }
    stayOnVolume_ = true;
    for (const std::string& root : platform::currentPlatform().volumes().searchRoots()) {
        if (stopped()) {
            return;
        }
        walkRoot(root, visitor);
    }
}

void FolderWalk::walkRoot(const std::string& root, FolderVisitor& visitor) {
    std::vector<Frame> stack;
    pushFolder(stack, root, visitor);
    while (!stack.empty()) {
        if (stopped()) {
            return;
        }
        Frame& frame = stack.back();
        if (frame.next == frame.entries.size()) {
            stack.pop_back();
            continue;
        }
        const platform::FolderEntry& entry = frame.entries[frame.next++];
        visitor.visitEntry(frame.folder, entry);
        if (shouldEnter(frame.folder, entry)) {
            // The frame reference dies with the push; take what is needed first.
            std::string subfolder = frame.folder + entry.name + separator_;
            pushFolder(stack, std::move(subfolder), visitor);
        }
    }
}

void FolderWalk::pushFolder(std::vector<Frame>& stack, std::string folder, FolderVisitor& visitor) {
    visitor.enterFolder(folder);
    Frame frame;
    frame.folder = std::move(folder);
    platform::currentPlatform().files().listFolder(frame.folder, frame.entries, stopRequested_);
    stack.push_back(std::move(frame));
}

bool FolderWalk::shouldEnter(const std::string& folder, const platform::FolderEntry& entry) const {
    if (!entry.isFolder || entry.isLink || !options_.searchSubfolders) {
        return false;
    }
    if (!options_.searchInRecycleBin && isRecycleBin(folder, entry.name)) {
        return false;
    }
    const std::string path = folder + entry.name + separator_;
    if (mountPoints_.contains(path)) {
        // Kernel interfaces are never walked, and a walk of every volume leaves each volume to
        // its own root so that no file is listed twice.
        return !stayOnVolume_ && !pseudoMountPoints_.contains(path);
    }
    return true;
}

bool FolderWalk::isRecycleBin(const std::string& folder, const std::string& name) const {
    if (!userTrash_.empty() && folder.size() + name.size() + 1 == userTrash_.size() &&
        userTrash_.starts_with(folder) &&
        userTrash_.compare(folder.size(), name.size(), name) == 0) {
        return true;
    }
    if (!mountPoints_.contains(folder)) {
        return false;
    }
    const std::string upper = upperAscii(name);
    return std::find(recycleBinNames_.begin(), recycleBinNames_.end(), upper) !=
           recycleBinNames_.end();
}

}  // namespace quillfen
