#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "index/IndexData.h"
#include "index/IndexFormat.h"
#include "index/LittleEndian.h"

namespace quillfen {

// A stored index read in place: its records are read from the file's bytes when asked for, so
// opening a mapped index costs its checks and not a copy. Copies share the bytes.
class IndexView {
public:
    // Nothing unless every byte is as IndexFormat::encode writes it and the recorded walk holds
    // together (every offset, count and parent in range, subtrees nested in pre-order): an index
    // that fails is treated as absent, never trusted in part. `owner` keeps `bytes` alive.
    static std::optional<IndexView> open(std::shared_ptr<const void> owner, std::string_view bytes);
    static std::optional<IndexView> of(std::string bytes);
    // A record just made, read where it lies: on a little-endian machine its entries, names and
    // reasons are already their sections.
    static IndexView ofRecord(std::shared_ptr<const IndexData> record);

    const std::string& root() const { return root_; }
    std::uint32_t options() const { return sections_.options; }
    std::uint64_t volume() const { return sections_.volume; }
    platform::FileTime builtAt() const { return sections_.builtAt; }
    std::uint64_t fileBytes() const { return fileBytes_; }
    std::uint32_t entryCount() const { return sections_.entryCount; }
    std::uint32_t folderCount() const { return sections_.folderCount; }

    std::uint32_t parentOf(std::uint32_t entry) const {
        return field<std::uint32_t>(entry, 0) & (IndexFormat::kMaxCount - 1);
    }
    std::uint8_t flagsOf(std::uint32_t entry) const {
        return static_cast<std::uint8_t>(field<std::uint32_t>(entry, 0) >>
                                         IndexFormat::kParentBits);
    }
    // Where the entry's name starts among all names; the end of the names for `entryCount()`.
    std::uint32_t nameStart(std::uint32_t entry) const {
        return entry == entryCount() ? static_cast<std::uint32_t>(sections_.names.size())
                                     : field<std::uint32_t>(entry, 4);
    }
    std::string_view name(std::uint32_t entry) const {
        const std::uint32_t start = nameStart(entry);
        return sections_.names.substr(start, nameStart(entry + 1) - start);
    }
    // The entries' names side by side in their order.
    std::string_view names() const { return sections_.names; }
    // The entries' records as the file lays them out.
    std::string_view entryRecords() const { return sections_.entries; }
    IndexData::Entry entry(std::uint32_t at) const;
    IndexData::Folder folder(std::uint32_t at) const;
    std::string_view reason(const IndexData::Folder& folder) const {
        return sections_.reasons.substr(folder.reasonOffset, folder.reasonLength);
    }

    // Each folder's path, spelt from the root: parents come before their subfolders.
    std::vector<std::string> folderPaths(char separator) const;
    // The records as a recorder makes them, which encode back into the same bytes.
    IndexData toData() const;

private:
    // Bytes that IndexFormat::encode just made of a record, read without checking them again.
    static IndexView ofEncoded(std::string bytes);
    template <typename Number>
    Number field(std::uint32_t entry, std::size_t offset) const {
        return little_endian::load<Number>(sections_.entries.data() +
                                           std::size_t{entry} * IndexFormat::kEntryBytes + offset);
    }
    bool holdsTogether() const;
    bool folderHoldsTogether(std::uint32_t at, const IndexData::Folder& previous) const;
    bool entriesHoldTogether(std::uint32_t first, std::uint32_t end) const;

    std::shared_ptr<const void> owner_;
    IndexFormat::Sections sections_;
    std::string root_;
    std::uint64_t fileBytes_ = 0;
};

}  // namespace quillfen
