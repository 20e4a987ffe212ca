#pragma once

#include <optional>
#include <string>
#include <vector>

#include "shell/linux/FileManagerIntegration.h"

namespace quillfen {

// Thunar's custom actions, which share the file uca.xml with the user's own actions.
class ThunarIntegration : public FileManagerIntegration {
public:
    // The folder of Thunar's configuration, which holds uca.xml.
    explicit ThunarIntegration(std::string folder);

    bool install(const std::vector<FileManagerEntry>& entries) override;
    bool remove() override;
    std::optional<std::string> storedCommand(const FileManagerEntry& entry) const override;
    std::string command(const FileManagerEntry& entry) const override;

    // True when the last install changed the actions of a Thunar that has run for this user (its
    // configuration folder was there before): Thunar reads them only when it starts.
    bool restartNeeded() const { return restartNeeded_; }

private:
    // Changed: set when the file's text changed.
    bool edit(const std::vector<FileManagerEntry>& entries, bool& changed);

    std::string folder_;
    std::string actionsFile_;
    bool restartNeeded_ = false;
};

}  // namespace quillfen
