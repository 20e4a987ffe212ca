#include "shell/linux/EntryFolderIntegration.h"

#include <algorithm>
#include <atomic>
#include <utility>

#include "app/PathHelpers.h"
#include "platform/Platform.h"
#include "shell/linux/FileManagerFormats.h"

namespace quillfen {

namespace {

platform::FileSystem& files() {
    return platform::currentPlatform().files();
}

}  // namespace

EntryFolderIntegration::EntryFolderIntegration(std::string folder, Format format)
    : folder_(std::move(folder)), format_(std::move(format)) {}

bool EntryFolderIntegration::install(const std::vector<FileManagerEntry>& entries) {
    createDirectoryChain(folder_);
    std::vector<std::string> wanted;
    for (const FileManagerEntry& entry : entries) {
        wanted.push_back(format_.fileName(entry));
    }
    bool complete = true;
    // A script named after an earlier language's label is left over otherwise.
    for (const std::string& name : ourFileNames()) {
        if (std::find(wanted.begin(), wanted.end(), name) == wanted.end()) {
            complete = files().removeFile(pathOf(name)) && complete;
        }
    }
    for (const FileManagerEntry& entry : entries) {
        complete = write(entry) && complete;
    }
    return complete;
}

bool EntryFolderIntegration::remove() {
    bool complete = true;
    for (const std::string& name : ourFileNames()) {
        complete = files().removeFile(pathOf(name)) && complete;
    }
    return complete;
}

std::optional<std::string> EntryFolderIntegration::storedCommand(
    const FileManagerEntry& entry) const {
    const auto text = files().readFile(pathOf(format_.fileName(entry)));
    if (!text || !carriesEntryMarker(*text)) {
        return std::nullopt;
    }
    return format_.storedCommand(*text);
}

std::string EntryFolderIntegration::command(const FileManagerEntry& entry) const {
    return format_.command(entry);
}

std::string EntryFolderIntegration::pathOf(const std::string& name) const {
    return withTrailingSeparator(folder_) + name;
}

std::vector<std::string> EntryFolderIntegration::ourFileNames() const {
    std::vector<platform::FolderEntry> listing;
    const std::atomic<bool> never{false};
    files().listFolder(folder_, listing, never, {});
    std::vector<std::string> names;
    for (const platform::FolderEntry& item : listing) {
        if (item.isFolder || item.isLink) {
            continue;
        }
        const auto text = files().readFile(pathOf(item.name));
        if (text && carriesEntryMarker(*text)) {
            names.push_back(item.name);
        }
    }
    return names;
}

bool EntryFolderIntegration::write(const FileManagerEntry& entry) {
    const std::string path = pathOf(format_.fileName(entry));
    const std::string contents = format_.contents(entry);
    bool foreign = false;
    const bool written = files().editFile(path, [&](const std::optional<std::string>& current) {
        if (current && !carriesEntryMarker(*current)) {
            foreign = true;
            return std::optional<std::string>();
        }
        return current == contents ? std::optional<std::string>()
                                   : std::optional<std::string>(contents);
    });
    return written && !foreign && files().setAccess(path, format_.access);
}

}  // namespace quillfen
