#include "index/IndexData.h"

namespace quillfen {

std::vector<std::string> IndexData::folderPaths(char separator) const {
    std::vector<std::string> paths;
    paths.reserve(folders.size());
    for (const Folder& folder : folders) {
        if (folder.entry == kNone) {
            paths.push_back(root);
            continue;
        }
        const Entry& entry = entries[folder.entry];
        paths.push_back(paths[entry.parent] + std::string(name(entry)) + separator);
    }
    return paths;
}

std::vector<std::uint32_t> IndexData::foldersOfEntries() const {
    std::vector<std::uint32_t> folderOf(entries.size(), kNone);
    for (std::uint32_t index = 0; index < folders.size(); ++index) {
        if (folders[index].entry != kNone) {
            folderOf[folders[index].entry] = index;
        }
    }
    return folderOf;
}

}  // namespace quillfen
