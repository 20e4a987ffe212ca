#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "index/IndexData.h"

namespace quillfen {

// The index file: a header (magic, format version, options, build time, volume, counts, the
// indexed folder's path) closed by its CRC-32, then the entries, folders and names sections, each
// with a tag, a length and a CRC-32 of its own. Numbers are little-endian. docs/index.md gives it
// field by field.
class IndexFormat {
public:
    static constexpr std::uint32_t kVersion = 1;
    static constexpr std::size_t kEntryBytes = 29;
    static constexpr std::size_t kFolderBytes = 60;

    static std::string encode(const IndexData& index);
    // Nothing unless every byte is as `encode` writes it and the recorded walk holds together
    // (every offset, count and parent in range, subtrees nested in pre-order): an index that
    // fails is treated as absent, never trusted in part.
    static std::optional<IndexData> decode(std::string_view bytes);
    // The indexed folder's path from a file's header, checked as far as the header goes.
    static std::optional<std::string> rootOf(std::string_view bytes);
};

}  // namespace quillfen
