#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/linux/FileManagerEntry.h"
#include "shell/linux/FileManagerIntegration.h"

namespace quillfen {

// The two context-menu entries that start this program on a file ("Document Duplication Search",
// translated) or a folder ("Quillfen!") from the desktop's file managers: Dolphin, Nemo, Thunar,
// Nautilus and Caja. Each entry passes the chosen path as the program's only argument.
class ShellIntegration {
public:
    // Labels the files entry in the current language.
    ShellIntegration();
    // Labels the files entry with the given text.
    explicit ShellIntegration(std::string filesLabel);
    ~ShellIntegration();
    ShellIntegration(const ShellIntegration&) = delete;
    ShellIntegration& operator=(const ShellIntegration&) = delete;

    // Rewrites every entry for the program's present path and label, which also repairs entries
    // of a moved program or an earlier language. False when some entry could not be written.
    bool install();
    // Deletes our entries and nothing else; the file managers' folders stay.
    bool remove();
    // True when the first file manager that holds our entry for folders holds the command that
    // install would write now, compared case-sensitively; a moved program shows as not installed.
    bool isInstalled() const;

private:
    void addFileManagers();
    FileManagerEntry folderEntry() const;
    std::vector<FileManagerEntry> entries() const;

    std::optional<std::string> filesLabel_;
    std::vector<std::unique_ptr<FileManagerIntegration>> integrations_;
};

}  // namespace quillfen
