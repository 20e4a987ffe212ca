#include "index/IndexRefresh.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "app/PathHelpers.h"
#include "index/TwoHalves.h"
#include "platform/Platform.h"

namespace quillfen {

namespace {

// Below this many folders a second thread looks up less than it costs.
constexpr std::uint32_t kLookUpsPerThread = 1024;

}  // namespace

IndexRefresh::IndexRefresh(const IndexView& recorded, const std::atomic<bool>& stop)
    : IndexRecorder(recorded.root(), recorded.options(), stop),
      recorded_(recorded),
      paths_(recorded.folderPaths(platform::currentPlatform().files().separator())),
      changed_(recorded.folderCount(), 0),
      subtreeChanged_(recorded.folderCount(), 0) {
    const std::uint32_t count = recorded.folderCount();
    inTwoHalves(0, count, 2 * kLookUpsPerThread, [this](std::size_t from, std::size_t to) {
        lookUpFolders(static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(to));
    });
    // Subfolders come after their parents, so one pass from the end tells every ancestor.
    for (std::uint32_t folder = count; folder-- > 0;) {
        changedFolders_ += changed_[folder] != 0 ? 1 : 0;
        subtreeChanged_[folder] = static_cast<char>(subtreeChanged_[folder] | changed_[folder]);
        if (folder > 0 && subtreeChanged_[folder] != 0) {
            subtreeChanged_[recorded.parentOf(recorded.folder(folder).entry)] = 1;
        }
    }
}

void IndexRefresh::lookUpFolders(std::uint32_t first, std::uint32_t end) {
    platform::FileSystem& files = platform::currentPlatform().files();
    for (std::uint32_t folder = first; folder < end; ++folder) {
        const IndexData::Folder recorded = recorded_.folder(folder);
        const platform::EntryStatus now =
            files.entryStatus(withoutTrailingSeparator(paths_[folder]));
        const bool same = now.kind == platform::EntryKind::Directory &&
                          now.writeTime == recorded.writeTime &&
                          now.changeTime == recorded.changeTime &&
                          now.identity.value_or(platform::FileIdentity{}) == recorded.identity;
        changed_[folder] = same ? 0 : 1;
    }
}

IndexData IndexRefresh::run() {
    // Room for the record as it was and a little more, so that it is never moved while it grows.
    record().entries.reserve(recorded_.entryCount() + recorded_.entryCount() / 16 + 1024);
    record().names.reserve(recorded_.names().size() + recorded_.names().size() / 16 + 65536);
    for (std::uint32_t folder = 0; folder < paths_.size(); ++folder) {
        folderAt_.emplace(paths_[folder], folder);
    }
    bringUpToDate(0);
    return finish();
}

bool IndexRefresh::knowsSubtree(const std::string& folder) const {
    return folderAt_.contains(folder);
}

void IndexRefresh::supplySubtree(const std::string& folder) {
    bringUpToDate(folderAt_.at(folder));
}

void IndexRefresh::bringUpToDate(std::uint32_t folder) {
    if (stop().load(std::memory_order_relaxed)) {
        return;
    }
    if (subtreeChanged_[folder] == 0) {
        copySubtree(folder);
        return;
    }
    if (changed_[folder] == 0) {
        replay(folder);
        return;
    }
    ++relisted_;
    const std::size_t depth = openFolders();
    walkFrom(paths_[folder]);
    closeFoldersTo(depth);
}

// The folder's own entries as recorded, each recorded subfolder brought up to date in its place.
void IndexRefresh::replay(std::uint32_t folder) {
    const IndexData::Folder recorded = recorded_.folder(folder);
    platform::EntryStatus status;
    status.kind = platform::EntryKind::Directory;
    status.writeTime = recorded.writeTime;
    status.changeTime = recorded.changeTime;
    status.identity = recorded.identity;
    const std::size_t depth = openFolders();
    openFolder(paths_[folder], status);
    if (recorded.reasonLength > 0) {
        folderUnreadable(paths_[folder], std::string(recorded_.reason(recorded)));
    }
    IndexData& into = record();
    const auto intoFolder = static_cast<std::uint32_t>(into.folders.size() - 1);
    // Subfolders come in the order of their entries, so one cursor finds each in turn.
    std::uint32_t subfolder = folder + 1;
    std::uint32_t at = recorded.first;
    while (at < recorded.end) {
        IndexData::Entry entry = recorded_.entry(at);
        entry.setParent(intoFolder);
        entry.nameOffset = static_cast<std::uint32_t>(into.names.size());
        into.names.append(recorded_.name(at));
        into.entries.push_back(entry);
        while (subfolder < recorded_.folderCount() && recorded_.folder(subfolder).entry < at) {
            ++subfolder;
        }
        if (subfolder == recorded_.folderCount() || recorded_.folder(subfolder).entry != at) {
            ++at;
            continue;
        }
        bringUpToDate(subfolder);
        at = std::max(at + 1, recorded_.folder(subfolder).end);
    }
    closeFoldersTo(depth);
}

// A subtree in which no folder changed, taken over as recorded: its folders keep their order and
// its entries theirs, so every index into them moves by the same amount.
void IndexRefresh::copySubtree(std::uint32_t folder) {
    IndexData& into = record();
    const IndexData::Folder top = recorded_.folder(folder);
    const auto entryShift = static_cast<std::uint32_t>(into.entries.size() - top.first);
    const auto folderShift = static_cast<std::uint32_t>(into.folders.size() - folder);
    const std::uint32_t namesFrom = recorded_.nameStart(top.first);
    const auto nameShift = static_cast<std::uint32_t>(into.names.size() - namesFrom);
    for (std::uint32_t at = folder;
         at < recorded_.folderCount() && (at == folder || recorded_.folder(at).entry < top.end);
         ++at) {
        IndexData::Folder copied = recorded_.folder(at);
        copied.entry = at == folder ? (into.entries.empty()
                                           ? IndexData::kNone
                                           : static_cast<std::uint32_t>(into.entries.size() - 1))
                                    : copied.entry + entryShift;
        copied.first += entryShift;
        copied.end += entryShift;
        copied.reasonOffset = static_cast<std::uint32_t>(into.reasons.size());
        into.reasons.append(recorded_.reason(recorded_.folder(at)));
        into.folders.push_back(copied);
    }
    const std::size_t copiedFrom = into.entries.size();
    into.entries.resize(copiedFrom + (top.end - top.first));
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(
            into.entries.data() + copiedFrom,
            recorded_.entryRecords().data() + std::size_t{top.first} * sizeof(IndexData::Entry),
            std::size_t{top.end - top.first} * sizeof(IndexData::Entry));
    } else {
        for (std::uint32_t at = top.first; at < top.end; ++at) {
            into.entries[copiedFrom + (at - top.first)] = recorded_.entry(at);
        }
    }
    // The parent's bits are the low ones, and no parent reaches the flags when shifted.
    for (std::size_t at = copiedFrom; at < into.entries.size(); ++at) {
        into.entries[at].parentAndFlags += folderShift;
        into.entries[at].nameOffset += nameShift;
    }
    into.names.append(
        recorded_.names().substr(namesFrom, recorded_.nameStart(top.end) - namesFrom));
}

}  // namespace quillfen
