#include "index/IndexRecorder.h"

#include "app/PathHelpers.h"
#include "platform/Platform.h"

namespace quillfen {

IndexRecorder::IndexRecorder(std::string root, std::uint32_t options, const std::atomic<bool>& stop)
    : stop_(stop) {
    index_.root = std::move(root);
    index_.options = options;
}

void IndexRecorder::walkFrom(const std::string& folder) {
    FolderWalk::Options options;
    options.searchInRecycleBin = (index_.options & IndexData::kRecycleBinOption) != 0;
    options.staysOnVolume = (index_.options & IndexData::kVolumeRootOption) != 0;
    FolderWalk walk(stop_, options);
    nextIsWalkRoot_ = true;
    walk.walk(folder, *this);
}

IndexData IndexRecorder::finish() {
    closeFoldersUntil({});
    if (!index_.folders.empty()) {
        index_.volume = index_.folders.front().identity.volume;
    }
    index_.builtAt = platform::currentPlatform().clock().now();
    return std::move(index_);
}

// A walk's first folder is looked up now, before its listing is read, so that a change made
// while it is read shows as a change next time; any other folder's status came with its
// parent's listing, which was read before its own.
void IndexRecorder::enterFolder(const std::string& folder) {
    platform::EntryStatus status = lastStatus_;
    if (nextIsWalkRoot_) {
        status = platform::currentPlatform().files().entryStatus(withoutTrailingSeparator(folder));
        nextIsWalkRoot_ = false;
    }
    openFolder(folder, status);
    if (progress_) {
        progress_(folder, index_.entries.size());
    }
}

// A folder's time moves in steps of the file system's clock (a few milliseconds, two seconds on
// FAT), so an entry added within the step in which the folder last changed leaves its time as it
// was when the folder was read. A folder that changed that recently is therefore recorded with
// no time, which no folder has, and is listed again when the index is next brought up to date.
void IndexRecorder::openFolder(const std::string& path, const platform::EntryStatus& status) {
    constexpr platform::FileTime kClockStep = 2 * 10'000'000ULL;
    IndexData::Folder folder;
    if (!index_.folders.empty()) {
        folder.entry = static_cast<std::uint32_t>(index_.entries.size() - 1);
    }
    folder.first = static_cast<std::uint32_t>(index_.entries.size());
    const bool recent = platform::currentPlatform().clock().now() < status.writeTime + kClockStep;
    folder.writeTime = recent ? 0 : status.writeTime;
    folder.changeTime = status.changeTime;
    folder.identity = status.identity.value_or(platform::FileIdentity{});
    open_.emplace_back(path, static_cast<std::uint32_t>(index_.folders.size()));
    index_.folders.push_back(folder);
}

void IndexRecorder::visitEntry(const std::string& folder, const platform::FolderEntry& entry) {
    closeFoldersUntil(folder);
    if (open_.empty()) {
        return;
    }
    lastStatus_ = entry.status.value_or(platform::EntryStatus{});
    IndexData::Entry recorded;
    recorded.setParent(open_.back().second);
    recorded.nameOffset = static_cast<std::uint32_t>(index_.names.size());
    index_.names.append(entry.name);
    recorded.setFlags(static_cast<std::uint8_t>((entry.isFolder ? IndexData::kFolderFlag : 0) |
                                                (entry.isLink ? IndexData::kLinkFlag : 0)));
    recorded.size = lastStatus_.size;
    recorded.writeTime = lastStatus_.writeTime;
    index_.entries.push_back(recorded);
}

void IndexRecorder::folderUnreadable(const std::string& folder, const std::string& reason) {
    if (open_.empty() || open_.back().first != folder) {
        return;
    }
    IndexData::Folder& recorded = index_.folders[open_.back().second];
    recorded.reasonLength = static_cast<std::uint32_t>(reason.size());
    recorded.reasonOffset = static_cast<std::uint32_t>(index_.reasons.size());
    index_.reasons.append(reason);
}

void IndexRecorder::closeFoldersTo(std::size_t depth) {
    while (open_.size() > depth) {
        index_.folders[open_.back().second].end = static_cast<std::uint32_t>(index_.entries.size());
        open_.pop_back();
    }
}

// The walk tells no folder's end; a visit in another folder ends every folder opened since.
void IndexRecorder::closeFoldersUntil(const std::string& folder) {
    while (!open_.empty() && open_.back().first != folder) {
        index_.folders[open_.back().second].end = static_cast<std::uint32_t>(index_.entries.size());
        open_.pop_back();
    }
}

}  // namespace quillfen
