#include "index/IndexView.h"

#include <bit>
#include <utility>

#include "index/TwoHalves.h"

namespace quillfen {

namespace {

// Records are checked in two halves side by side from this many on.
constexpr std::uint32_t kCheckAsideEntries = 65536;

}  // namespace

std::optional<IndexView> IndexView::open(std::shared_ptr<const void> owner,
                                         std::string_view bytes) {
    std::optional<IndexFormat::Sections> sections = IndexFormat::split(bytes);
    if (!sections) {
        return std::nullopt;
    }
    IndexView view;
    view.owner_ = std::move(owner);
    view.sections_ = *sections;
    view.root_ = sections->root;
    view.fileBytes_ = bytes.size();
    if (!view.holdsTogether()) {
        return std::nullopt;
    }
    return view;
}

std::optional<IndexView> IndexView::of(std::string bytes) {
    auto owned = std::make_shared<const std::string>(std::move(bytes));
    const std::string_view view = *owned;
    return open(std::move(owned), view);
}

IndexView IndexView::ofEncoded(std::string bytes) {
    auto owned = std::make_shared<const std::string>(std::move(bytes));
    IndexView view;
    view.sections_ = IndexFormat::split(*owned, false).value();
    view.root_ = view.sections_.root;
    view.fileBytes_ = owned->size();
    view.owner_ = std::move(owned);
    return view;
}

IndexView IndexView::ofRecord(std::shared_ptr<const IndexData> record) {
    if constexpr (std::endian::native != std::endian::little) {
        return ofEncoded(IndexFormat::encode(*record));
    }
    struct Held {
        std::shared_ptr<const IndexData> record;
        std::string folders;
    };
    auto held =
        std::make_shared<const Held>(Held{record, IndexFormat::encodeFolders(record->folders)});
    IndexView view;
    IndexFormat::Sections& sections = view.sections_;
    sections.root = record->root;
    sections.options = record->options;
    sections.volume = record->volume;
    sections.builtAt = record->builtAt;
    sections.entryCount = static_cast<std::uint32_t>(record->entries.size());
    sections.folderCount = static_cast<std::uint32_t>(record->folders.size());
    sections.entries = std::string_view(reinterpret_cast<const char*>(record->entries.data()),
                                        record->entries.size() * IndexFormat::kEntryBytes);
    sections.folders = held->folders;
    sections.names = record->names;
    sections.reasons = record->reasons;
    view.root_ = record->root;
    view.owner_ = std::move(held);
    return view;
}

IndexData::Entry IndexView::entry(std::uint32_t at) const {
    IndexData::Entry entry;
    entry.parentAndFlags = field<std::uint32_t>(at, 0);
    entry.nameOffset = nameStart(at);
    entry.size = field<std::int64_t>(at, 8);
    entry.writeTime = field<platform::FileTime>(at, 16);
    return entry;
}

IndexData::Folder IndexView::folder(std::uint32_t at) const {
    const char* record = sections_.folders.data() + std::size_t{at} * IndexFormat::kFolderBytes;
    IndexData::Folder folder;
    folder.entry = little_endian::load<std::uint32_t>(record);
    folder.first = little_endian::load<std::uint32_t>(record + 4);
    folder.end = little_endian::load<std::uint32_t>(record + 8);
    folder.writeTime = little_endian::load<platform::FileTime>(record + 12);
    folder.changeTime = little_endian::load<platform::FileTime>(record + 20);
    folder.identity.volume = little_endian::load<std::uint64_t>(record + 28);
    folder.identity.file = little_endian::load<std::uint64_t>(record + 36);
    folder.identity.fileHigh = little_endian::load<std::uint64_t>(record + 44);
    folder.reasonOffset = little_endian::load<std::uint32_t>(record + 52);
    folder.reasonLength = little_endian::load<std::uint32_t>(record + 56);
    return folder;
}

std::vector<std::string> IndexView::folderPaths(char separator) const {
    std::vector<std::string> paths;
    paths.reserve(folderCount());
    paths.push_back(root_);
    for (std::uint32_t at = 1; at < folderCount(); ++at) {
        const std::uint32_t named = folder(at).entry;
        paths.push_back(paths[parentOf(named)] + std::string(name(named)) + separator);
    }
    return paths;
}

IndexData IndexView::toData() const {
    IndexData data;
    data.root = root_;
    data.options = options();
    data.volume = volume();
    data.builtAt = builtAt();
    data.entries.reserve(entryCount());
    for (std::uint32_t at = 0; at < entryCount(); ++at) {
        data.entries.push_back(entry(at));
    }
    data.folders.reserve(folderCount());
    for (std::uint32_t at = 0; at < folderCount(); ++at) {
        data.folders.push_back(folder(at));
    }
    data.names = sections_.names;
    data.reasons = sections_.reasons;
    return data;
}

// Folders come in the order of their entries, so each one's parent was checked before it.
bool IndexView::holdsTogether() const {
    if (folderCount() == 0 || (entryCount() == 0 && !sections_.names.empty())) {
        return false;
    }
    IndexData::Folder previous;
    for (std::uint32_t at = 0; at < folderCount(); ++at) {
        if (!folderHoldsTogether(at, previous)) {
            return false;
        }
        previous = folder(at);
    }
    bool halvesHold[2] = {true, true};
    inTwoHalves(0, entryCount(), kCheckAsideEntries, [&](std::size_t from, std::size_t to) {
        halvesHold[from != 0] =
            entriesHoldTogether(static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(to));
    });
    return halvesHold[0] && halvesHold[1];
}

// A subfolder's entry lies in its parent's range, its subtree follows its entry directly and
// ends within its parent's, and folders come in the order of their entries.
bool IndexView::folderHoldsTogether(std::uint32_t at, const IndexData::Folder& previous) const {
    const IndexData::Folder here = folder(at);
    if (here.reasonOffset > sections_.reasons.size() ||
        here.reasonLength > sections_.reasons.size() - here.reasonOffset) {
        return false;
    }
    if (at == 0) {
        return here.entry == IndexData::kNone && here.first == 0 && here.end == entryCount();
    }
    if (here.entry >= entryCount() || (at > 1 && here.entry <= previous.entry) ||
        (flagsOf(here.entry) & IndexData::kFolderFlag) == 0 || parentOf(here.entry) >= at) {
        return false;
    }
    return here.first == here.entry + 1 && here.first <= here.end &&
           here.end <= folder(parentOf(here.entry)).end;
}

// Every name is not empty and follows the one before, the first at the start of the names and
// the last running to their end; every entry lies in its parent's range.
bool IndexView::entriesHoldTogether(std::uint32_t first, std::uint32_t end) const {
    const std::uint64_t nameBytes = sections_.names.size();
    for (std::uint32_t at = first; at < end; ++at) {
        const std::uint32_t start = field<std::uint32_t>(at, 4);
        const bool nameFits = at == 0 ? start == 0 : start > field<std::uint32_t>(at - 1, 4);
        const std::uint32_t parent = parentOf(at);
        if (!nameFits || start >= nameBytes || parent >= folderCount()) {
            return false;
        }
        const char* record =
            sections_.folders.data() + std::size_t{parent} * IndexFormat::kFolderBytes;
        if (at < little_endian::load<std::uint32_t>(record + 4) ||
            at >= little_endian::load<std::uint32_t>(record + 8)) {
            return false;
        }
    }
    return true;
}

}  // namespace quillfen
