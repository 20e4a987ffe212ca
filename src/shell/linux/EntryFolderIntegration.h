#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileAccess.h"
#include "shell/linux/FileManagerIntegration.h"

namespace quillfen {

// A file manager that reads each context-menu entry from a file of its own in one folder: Dolphin
// service menus, Nemo actions, Nautilus and Caja scripts. Our files are the ones that carry the
// entry marker; the folder itself belongs to the file manager and is never deleted.
class EntryFolderIntegration : public FileManagerIntegration {
public:
    struct Format {
        std::function<std::string(const FileManagerEntry&)> fileName;
        std::function<std::string(const FileManagerEntry&)> contents;
        // The command of an entry file of ours, as stored; nullopt when it holds none.
        std::function<std::optional<std::string>(std::string_view)> storedCommand;
        std::function<std::string(const FileManagerEntry&)> command;
        // Service menus and scripts must be executable to be shown at all.
        platform::FileAccess access = platform::FileAccess::Shared;
    };

    EntryFolderIntegration(std::string folder, Format format);

    bool install(const std::vector<FileManagerEntry>& entries) override;
    bool remove() override;
    std::optional<std::string> storedCommand(const FileManagerEntry& entry) const override;
    std::string command(const FileManagerEntry& entry) const override;

private:
    std::string pathOf(const std::string& name) const;
    // The names of the files in the folder that are ours.
    std::vector<std::string> ourFileNames() const;
    bool write(const FileManagerEntry& entry);

    std::string folder_;
    Format format_;
};

}  // namespace quillfen
