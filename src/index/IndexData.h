#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileIdentity.h"
#include "platform/FileTime.h"

namespace quillfen {

// A recorded walk of one folder as it is being built: every entry in the walk's pre-order, so that
// the subtree of any folder the walk entered is one contiguous range of `entries`. A stored index
// is read through IndexView.
struct IndexData {
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;
    static constexpr std::uint8_t kFolderFlag = 1;
    static constexpr std::uint8_t kLinkFlag = 2;
    // The walk entered the recycle bins; a search with the other setting walks instead.
    static constexpr std::uint32_t kRecycleBinOption = 1;
    // The walk did not enter other volumes, as the walk of every volume walks each root; such an
    // index answers only that walk.
    static constexpr std::uint32_t kVolumeRootOption = 2;

    // The parent takes the low 30 bits of an entry's first field, its flags the two above.
    static constexpr std::uint32_t kParentBits = 30;
    static constexpr std::uint32_t kMaxCount = 1U << kParentBits;

    // Laid out as the index file lays out an entry, so that on a little-endian machine the
    // entries are their own section of the file.
    struct Entry {
        // The folder (an index into `folders`) that listed the entry, and its flags.
        std::uint32_t parentAndFlags = 0;
        // Where its name starts in `names`; the name runs to the next entry's.
        std::uint32_t nameOffset = 0;
        std::int64_t size = -1;
        platform::FileTime writeTime = 0;

        std::uint32_t parent() const { return parentAndFlags & (kMaxCount - 1); }
        std::uint8_t flags() const {
            return static_cast<std::uint8_t>(parentAndFlags >> kParentBits);
        }
        void setParent(std::uint32_t parent) {
            parentAndFlags = (parentAndFlags & ~(kMaxCount - 1)) | parent;
        }
        void setFlags(std::uint8_t flags) {
            parentAndFlags = parent() | (static_cast<std::uint32_t>(flags) << kParentBits);
        }
    };

    // A folder the walk entered; folder 0 is the indexed folder itself.
    struct Folder {
        // The entry that names it; kNone for the indexed folder.
        std::uint32_t entry = kNone;
        // Its subtree: the entries from `first` up to, not including, `end`.
        std::uint32_t first = 0;
        std::uint32_t end = 0;
        // Its own status when listed; a change to any of them means its listing may differ.
        platform::FileTime writeTime = 0;
        platform::FileTime changeTime = 0;
        platform::FileIdentity identity;
        // Why it could not be read, whole or in part (in `reasons`); empty when it could.
        std::uint32_t reasonOffset = 0;
        std::uint32_t reasonLength = 0;
    };

    // The indexed folder, resolved, ending with a separator.
    std::string root;
    std::uint32_t options = 0;
    std::uint64_t volume = 0;
    platform::FileTime builtAt = 0;
    std::vector<Entry> entries;
    std::vector<Folder> folders;
    // The entries' names, raw bytes side by side in the entries' order.
    std::string names;
    std::string reasons;

    std::string_view name(std::size_t entry) const {
        const std::size_t end =
            entry + 1 < entries.size() ? entries[entry + 1].nameOffset : names.size();
        return std::string_view(names).substr(entries[entry].nameOffset,
                                              end - entries[entry].nameOffset);
    }
    std::string_view reason(const Folder& folder) const {
        return std::string_view(reasons).substr(folder.reasonOffset, folder.reasonLength);
    }
};

}  // namespace quillfen
