#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "index/IndexData.h"

namespace quillfen {

// The index file: a header (magic, format version, options, build time, volume, counts, the
// indexed folder's path) closed by its hash, then the entries, folders, names and reasons
// sections, each with a tag, a length and a hash of its own (XXH3, 64 bits). Numbers are
// little-endian. docs/index.md gives it field by field.
class IndexFormat {
public:
    static constexpr std::uint32_t kVersion = 2;
    // Parent and flags (4), name offset (4), size (8), modification time (8).
    static constexpr std::size_t kEntryBytes = 24;
    static constexpr std::size_t kFolderBytes = 60;
    static constexpr std::uint32_t kParentBits = IndexData::kParentBits;
    static constexpr std::uint32_t kMaxCount = IndexData::kMaxCount;

    // A file whose header, section tags, lengths and hashes are as `encode` writes them; the
    // records are not looked into yet.
    struct Sections {
        std::string_view root;
        std::uint32_t options = 0;
        std::uint64_t volume = 0;
        platform::FileTime builtAt = 0;
        std::uint32_t entryCount = 0;
        std::uint32_t folderCount = 0;
        std::string_view entries;
        std::string_view folders;
        std::string_view names;
        std::string_view reasons;
    };

    static std::string encode(const IndexData& index);
    // The folders section's payload.
    static std::string encodeFolders(const std::vector<IndexData::Folder>& folders);
    // `checkHashes` is false only for bytes that `encode` just made in this process.
    static std::optional<Sections> split(std::string_view bytes, bool checkHashes = true);
    // The indexed folder's path from a file's header, checked as far as the header goes.
    static std::optional<std::string> rootOf(std::string_view bytes);
    // The header alone, checked as far as it goes; the sections are left empty.
    static std::optional<Sections> header(std::string_view bytes);
};

}  // namespace quillfen
