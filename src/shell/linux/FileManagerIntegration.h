#pragma once

#include <optional>
#include <string>
#include <vector>

#include "shell/linux/FileManagerEntry.h"

namespace quillfen {

// The context-menu entries of one file manager, in whatever form it keeps them.
class FileManagerIntegration {
public:
    virtual ~FileManagerIntegration() = default;

    // Writes the entries in place of any earlier ones of ours, creating folders as needed. False
    // when one of them could not be written, as when a file of the user's stands in its place.
    virtual bool install(const std::vector<FileManagerEntry>& entries) = 0;
    // Deletes our entries and nothing else. False when one of them could not be deleted.
    virtual bool remove() = 0;
    // The command that our entry for the entry's kind holds, as stored; nullopt without one.
    virtual std::optional<std::string> storedCommand(const FileManagerEntry& entry) const = 0;
    // The command that install stores for the entry, in the same form.
    virtual std::string command(const FileManagerEntry& entry) const = 0;
};

}  // namespace quillfen
