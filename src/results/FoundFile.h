#pragma once

#include <cstdint>
#include <string>

#include "platform/FileTime.h"

namespace quillfen {

// One entry that passed a search, in the texts the result list shows.
struct FoundFile {
    // A folder's name ends with one separator.
    std::string name;
    // The folder that was searched, ending with a separator.
    std::string inFolder;
    std::string modified;
    // Empty for a folder.
    std::string sizeText;
    // The size zero-padded to a fixed width, so that text order is size order; -1 for a folder.
    std::string sizeKey;

    // Folders are described with size -1 whatever size the listing reported, so that they sort
    // before every file. Missing trailing separators are added.
    static FoundFile describe(std::string name, std::string inFolder, std::int64_t size,
                              platform::FileTime writeTime, bool isFolder);

    bool operator==(const FoundFile&) const = default;
};

}  // namespace quillfen
