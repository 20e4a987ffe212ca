#include "shell/linux/ThunarIntegration.h"

#include <utility>

#include "app/PathHelpers.h"
#include "platform/Platform.h"
#include "shell/linux/FileManagerThunarActions.h"

namespace quillfen {

namespace {

platform::FileSystem& files() {
    return platform::currentPlatform().files();
}

}  // namespace

ThunarIntegration::ThunarIntegration(std::string folder)
    : folder_(std::move(folder)), actionsFile_(withTrailingSeparator(folder_) + "uca.xml") {}

bool ThunarIntegration::install(const std::vector<FileManagerEntry>& entries) {
    const bool thunarHasRun = files().kindOf(folder_) == platform::EntryKind::Directory;
    createDirectoryChain(folder_);
    bool changed = false;
    const bool written = edit(entries, changed);
    restartNeeded_ = thunarHasRun && changed;
    return written;
}

bool ThunarIntegration::remove() {
    if (files().kindOf(actionsFile_) != platform::EntryKind::File) {
        return true;
    }
    bool changed = false;
    return edit({}, changed);
}

std::optional<std::string> ThunarIntegration::storedCommand(const FileManagerEntry& entry) const {
    const auto document = files().readFile(actionsFile_);
    return document ? thunarStoredCommand(*document, entry.kind) : std::nullopt;
}

std::string ThunarIntegration::command(const FileManagerEntry& entry) const {
    return thunarCommand(entry);
}

bool ThunarIntegration::edit(const std::vector<FileManagerEntry>& entries, bool& changed) {
    bool unreadable = false;
    const bool written =
        files().editFile(actionsFile_, [&](const std::optional<std::string>& current) {
            const std::string before = current.value_or(std::string());
            auto next = withOurThunarActions(before, entries);
            unreadable = !next;
            changed = next && *next != before;
            return changed ? next : std::nullopt;
        });
    changed = changed && written;
    return written && !unreadable;
}

}  // namespace quillfen
