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
    createDirectoryChain(folder_);
    return edit(entries);
}

bool ThunarIntegration::remove() {
    if (files().kindOf(actionsFile_) != platform::EntryKind::File) {
        return true;
    }
    return edit({});
}

std::optional<std::string> ThunarIntegration::storedCommand(const FileManagerEntry& entry) const {
    const auto document = files().readFile(actionsFile_);
    return document ? thunarStoredCommand(*document, entry.kind) : std::nullopt;
}

std::string ThunarIntegration::command(const FileManagerEntry& entry) const {
    return thunarCommand(entry.program);
}

bool ThunarIntegration::edit(const std::vector<FileManagerEntry>& entries) {
    bool unreadable = false;
    const bool written =
        files().editFile(actionsFile_, [&](const std::optional<std::string>& current) {
            const std::string before = current.value_or(std::string());
            auto next = withOurThunarActions(before, entries);
            unreadable = !next;
            return next == before ? std::nullopt : next;
        });
    return written && !unreadable;
}

}  // namespace quillfen
