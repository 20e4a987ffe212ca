#include "index/IndexReplay.h"

#include <algorithm>

#include "index/IndexNameScan.h"
#include "index/TwoHalves.h"
#include "platform/Platform.h"

namespace quillfen {

namespace {

// Rows are looked up and shown in batches: a small first one so the first rows come at once,
// then larger ones that two threads share.
constexpr std::size_t kFirstBatch = 256;
constexpr std::size_t kBatch = 4096;
constexpr std::size_t kLookUpsPerThread = 128;
// Entries whose names are scanned at once: few first, then many.
constexpr std::uint32_t kFirstScan = 1 << 16;
constexpr std::uint32_t kScan = 1 << 20;

}  // namespace

IndexReplay::IndexReplay(IndexView index, std::uint32_t folder, std::string spelling,
                         bool subfolders)
    : index_(std::move(index)),
      folder_(folder),
      spelling_(std::move(spelling)),
      subfolders_(subfolders),
      paths_(index_.folderPaths(platform::currentPlatform().files().separator())) {}

std::optional<IndexReplay> IndexReplay::of(IndexView index, const std::string& folder,
                                           std::string spelling, bool subfolders) {
    IndexReplay replay(std::move(index), 0, std::move(spelling), subfolders);
    const auto found = std::find(replay.paths_.begin(), replay.paths_.end(), folder);
    if (found == replay.paths_.end()) {
        return std::nullopt;
    }
    replay.folder_ = static_cast<std::uint32_t>(found - replay.paths_.begin());
    return replay;
}

// Folders come in the order of their entries, and a folder is entered right after its entry is
// visited, so the walk's order is the merge of the passing entries and the subtree's folders.
// The names are scanned a part of the range at a time, the first part small, so that the first
// rows are shown before the last names are scanned.
void IndexReplay::walk(FolderVisitor& visitor, const NamePatternList& patterns,
                       const std::atomic<bool>& stop) const {
    const IndexNameScan scan(index_, patterns, platform::currentPlatform().files().separator());
    const IndexData::Folder root = index_.folder(folder_);
    std::uint32_t nextFolder = folder_ + 1;
    const auto enterFoldersBefore = [&](std::uint32_t entry) {
        while (subfolders_ && nextFolder < index_.folderCount() &&
               index_.folder(nextFolder).entry < std::min(entry, root.end)) {
            enter(visitor, nextFolder++);
        }
    };
    enter(visitor, folder_);
    std::uint32_t part = kFirstScan;
    for (std::uint32_t first = root.first; first < root.end; first += part, part = kScan) {
        const std::vector<std::uint32_t> passing = entriesThatPass(
            scan, first, std::min<std::uint64_t>(root.end, std::uint64_t{first} + part));
        for (std::size_t from = 0; from < passing.size();) {
            if (stop.load(std::memory_order_relaxed)) {
                return;
            }
            const std::size_t to =
                std::min(passing.size(), from + (from == 0 ? kFirstBatch : kBatch));
            const std::vector<LookedUp> now = lookUp(passing, from, to);
            for (std::size_t at = from; at < to; ++at) {
                enterFoldersBefore(passing[at]);
                visit(visitor, passing[at], now[at - from]);
            }
            from = to;
        }
    }
    enterFoldersBefore(root.end);
}

std::uint64_t IndexReplay::entryCount() const {
    const IndexData::Folder root = index_.folder(folder_);
    if (subfolders_) {
        return root.end - root.first;
    }
    std::uint64_t count = 0;
    for (std::uint32_t at = root.first; at < root.end; ++at) {
        count += index_.parentOf(at) == folder_ ? 1 : 0;
    }
    return count;
}

std::vector<std::uint32_t> IndexReplay::entriesThatPass(const IndexNameScan& scan,
                                                        std::uint32_t first,
                                                        std::uint32_t end) const {
    std::vector<std::uint32_t> passing = scan.passing(first, end);
    if (!subfolders_) {
        std::erase_if(passing,
                      [this](std::uint32_t entry) { return index_.parentOf(entry) != folder_; });
    }
    return passing;
}

// Each thread fills its own part of the result.
std::vector<IndexReplay::LookedUp> IndexReplay::lookUp(const std::vector<std::uint32_t>& entries,
                                                       std::size_t from, std::size_t to) const {
    std::vector<LookedUp> now(to - from);
    inTwoHalves(from, to, 2 * kLookUpsPerThread, [&](std::size_t first, std::size_t end) {
        lookUpInto(entries, first, end, now.data() + (first - from));
    });
    return now;
}

// A link lists as a folder while its target is one, which its own folder never hears of.
void IndexReplay::lookUpInto(const std::vector<std::uint32_t>& entries, std::size_t from,
                             std::size_t to, LookedUp* into) const {
    platform::FileSystem& files = platform::currentPlatform().files();
    for (std::size_t at = from; at < to; ++at) {
        const std::uint32_t entry = entries[at];
        const std::string path = pathOf(index_.parentOf(entry)) + std::string(index_.name(entry));
        LookedUp& now = into[at - from];
        now.status = files.entryStatus(path);
        now.isFolder = (index_.flagsOf(entry) & IndexData::kFolderFlag) != 0;
        if ((index_.flagsOf(entry) & IndexData::kLinkFlag) != 0 &&
            now.status.kind != platform::EntryKind::Missing) {
            now.isFolder = files.targetStatus(path).kind == platform::EntryKind::Directory;
        }
    }
}

void IndexReplay::enter(FolderVisitor& visitor, std::uint32_t folder) const {
    const std::string path = pathOf(folder);
    visitor.enterFolder(path);
    const IndexData::Folder recorded = index_.folder(folder);
    if (recorded.reasonLength > 0) {
        visitor.folderUnreadable(path, std::string(index_.reason(recorded)));
    }
}

void IndexReplay::visit(FolderVisitor& visitor, std::uint32_t entry, const LookedUp& now) const {
    if (now.status.kind == platform::EntryKind::Missing) {
        return;
    }
    platform::FolderEntry visited;
    visited.name = index_.name(entry);
    visited.isFolder = now.isFolder;
    visited.isLink = (index_.flagsOf(entry) & IndexData::kLinkFlag) != 0;
    visited.status = now.status;
    visitor.visitEntry(pathOf(index_.parentOf(entry)), visited);
}

std::string IndexReplay::pathOf(std::uint32_t folder) const {
    return spelling_ + paths_[folder].substr(paths_[folder_].size());
}

}  // namespace quillfen
