#include "update/UpdateWorkFolder.h"

#include <atomic>
#include <vector>

#include "platform/Platform.h"

namespace quillfen {

namespace {

platform::FileSystem& files() {
    return platform::currentPlatform().files();
}

bool exists(const std::string& path) {
    return files().entryStatus(path).kind != platform::EntryKind::Missing;
}

// The folder without a trailing separator, unless it is a root.
std::string withoutTrailingSeparator(std::string folder, char separator) {
    while (folder.size() > files().rootLength(folder) && folder.size() > 1 &&
           (folder.back() == separator || folder.back() == '/')) {
        folder.pop_back();
    }
    return folder;
}

bool makeFolder(const std::string& path) {
    return files().entryStatus(path).kind == platform::EntryKind::Directory ||
           files().createDirectory(path);
}

}  // namespace

UpdateWorkFolder::UpdateWorkFolder(const std::string& programFolder)
    : separator_(files().separator()),
      programFolder_(withoutTrailingSeparator(programFolder, separator_)),
      work_(programFolder_ + separator_ + kName) {}

std::string UpdateWorkFolder::below(const std::string& folder, const std::string& name) const {
    std::string path = folder + separator_ + name;
    for (std::size_t i = folder.size() + 1; i < path.size(); ++i) {
        if (path[i] == '/') {
            path[i] = separator_;
        }
    }
    return path;
}

bool UpdateWorkFolder::makeParents(const std::string& folder, const std::string& name) const {
    if (!makeFolder(folder)) {
        return false;
    }
    for (auto slash = name.find('/'); slash != std::string::npos;
         slash = name.find('/', slash + 1)) {
        if (!makeFolder(below(folder, name.substr(0, slash)))) {
            return false;
        }
    }
    return true;
}

std::string UpdateWorkFolder::freeAsidePath() const {
    const std::string folder = asideFolder();
    if (!makeFolder(folder)) {
        return {};
    }
    for (int number = 1;; ++number) {
        const std::string path = folder + separator_ + std::to_string(number);
        if (!exists(path)) {
            return path;
        }
    }
}

bool UpdateWorkFolder::removeTree(const std::string& path) {
    const platform::EntryStatus status = files().entryStatus(path);
    if (status.kind == platform::EntryKind::Missing) {
        return true;
    }
    if (status.kind != platform::EntryKind::Directory) {
        return files().removeFile(path);
    }
    std::vector<platform::FolderEntry> entries;
    const std::atomic<bool> never{false};
    files().listFolder(path, entries, never, {});
    const char separator = files().separator();
    for (const platform::FolderEntry& entry : entries) {
        const std::string inner = path + separator + entry.name;
        if (entry.isFolder && !entry.isLink) {
            removeTree(inner);
        } else {
            files().removeFile(inner);
        }
    }
    return files().removeFolder(path) || !exists(path);
}

bool UpdateWorkFolder::clear() const {
    bool cleared = true;
    for (const std::string& folder : {newFolder(), oldFolder(), asideFolder()}) {
        cleared = removeTree(folder) && cleared;
    }
    if (!cleared) {
        return false;
    }
    files().removeFile(journalPath());
    return removeTree(work_);
}

}  // namespace quillfen
