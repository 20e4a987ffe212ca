#include "index/IndexReplay.h"

#include <algorithm>
#include <thread>

#include "platform/Platform.h"

namespace quillfen {

IndexReplay::IndexReplay(IndexData index, std::uint32_t folder, std::string spelling,
                         bool subfolders)
    : index_(std::move(index)),
      folder_(folder),
      spelling_(std::move(spelling)),
      subfolders_(subfolders),
      paths_(index_.folderPaths(platform::currentPlatform().files().separator())),
      folderOfEntry_(index_.foldersOfEntries()) {}

void IndexReplay::walk(FolderVisitor& visitor, const NamePatternList& patterns,
                       const std::atomic<bool>& stop) const {
    const std::vector<char> passes = namesThatPass(patterns);
    const IndexData::Folder& root = index_.folders[folder_];
    enter(visitor, folder_);
    for (std::uint32_t at = root.first; at < root.end; ++at) {
        if (stop.load(std::memory_order_relaxed)) {
            return;
        }
        const std::uint32_t parent = index_.entries[at].parent;
        if (!subfolders_ && parent != folder_) {
            continue;
        }
        if (passes[at - root.first]) {
            visit(visitor, at);
        }
        if (subfolders_ && folderOfEntry_[at] != IndexData::kNone) {
            enter(visitor, folderOfEntry_[at]);
        }
    }
}

std::uint64_t IndexReplay::entryCount() const {
    const IndexData::Folder& root = index_.folders[folder_];
    if (subfolders_) {
        return root.end - root.first;
    }
    const auto first = index_.entries.begin() + root.first;
    return static_cast<std::uint64_t>(
        std::count_if(first, first + (root.end - root.first),
                      [this](const IndexData::Entry& entry) { return entry.parent == folder_; }));
}

void IndexReplay::enter(FolderVisitor& visitor, std::uint32_t folder) const {
    const std::string path = pathOf(folder);
    visitor.enterFolder(path);
    const IndexData::Folder& recorded = index_.folders[folder];
    if (recorded.reasonLength > 0) {
        visitor.folderUnreadable(path, std::string(index_.reason(recorded)));
    }
}

void IndexReplay::visit(FolderVisitor& visitor, std::uint32_t at) const {
    const IndexData::Entry& entry = index_.entries[at];
    const std::string folder = pathOf(entry.parent);
    platform::FolderEntry visited;
    visited.name = index_.name(entry);
    visited.isFolder = (entry.flags & IndexData::kFolderFlag) != 0;
    visited.isLink = (entry.flags & IndexData::kLinkFlag) != 0;
    platform::FileSystem& files = platform::currentPlatform().files();
    visited.status = files.entryStatus(folder + visited.name);
    if (visited.status->kind == platform::EntryKind::Missing) {
        return;
    }
    // A link lists as a folder while its target is one, which its own folder never hears of.
    if (visited.isLink) {
        visited.isFolder =
            files.targetStatus(folder + visited.name).kind == platform::EntryKind::Directory;
    }
    visitor.visitEntry(folder, visited);
}

// The same test the search makes of each name, made here first so that only entries that can
// pass are looked up and visited. Large ranges are tested in chunks side by side; each chunk has
// its own bytes of the result, so the threads share nothing they write.
std::vector<char> IndexReplay::namesThatPass(const NamePatternList& patterns) const {
    const IndexData::Folder& root = index_.folders[folder_];
    std::vector<char> passes(root.end - root.first, 1);
    if (patterns.empty()) {
        return passes;
    }
    const std::uint32_t chunks = std::clamp<std::uint32_t>(
        std::thread::hardware_concurrency(), 1, (root.end - root.first) / kEntriesPerChunk + 1);
    const std::uint32_t size = (root.end - root.first + chunks - 1) / chunks;
    std::vector<std::thread> threads;
    for (std::uint32_t chunk = 1; chunk < chunks; ++chunk) {
        const std::uint32_t first = root.first + chunk * size;
        threads.emplace_back(
            [&, first] { testNames(patterns, first, std::min(first + size, root.end), passes); });
    }
    testNames(patterns, root.first, std::min(root.first + size, root.end), passes);
    for (std::thread& thread : threads) {
        thread.join();
    }
    return passes;
}

void IndexReplay::testNames(const NamePatternList& patterns, std::uint32_t first, std::uint32_t end,
                            std::vector<char>& passes) const {
    const char separator = platform::currentPlatform().files().separator();
    const std::uint32_t offset = index_.folders[folder_].first;
    std::string name;
    std::string folded;
    for (std::uint32_t at = first; at < end; ++at) {
        const IndexData::Entry& entry = index_.entries[at];
        name.assign(index_.name(entry));
        if ((entry.flags & IndexData::kFolderFlag) != 0) {
            name += separator;
        }
        foldNameInto(name, folded);
        passes[at - offset] =
            matchesFoldedName(patterns, folded) ||
            ((entry.flags & IndexData::kLinkFlag) != 0 && linkMayPass(patterns, name, separator));
    }
}

// A link's target may have become, or stopped being, a folder, which decides whether its name
// is tested with a separator; the search tests it as it is now.
bool IndexReplay::linkMayPass(const NamePatternList& patterns, std::string name, char separator) {
    if (!name.empty() && name.back() == separator) {
        name.pop_back();
    } else {
        name += separator;
    }
    return matchesName(patterns, name);
}

std::string IndexReplay::pathOf(std::uint32_t folder) const {
    return spelling_ + paths_[folder].substr(paths_[folder_].size());
}

}  // namespace quillfen
