#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/linux/FileManagerEntry.h"
#include "shell/linux/FileManagerIntegration.h"
#include "shell/linux/ThunarIntegration.h"

namespace quillfen {

// The two context-menu entries that start this program on a file ("Document Duplication Search",
// translated, followed by the program's name) or a folder ("Quillfen!") from the desktop's file
// managers: Dolphin, Nemo, Thunar, Nautilus and Caja. Each entry passes the chosen path as the
// program's only argument, shows the program's icon where the file manager shows icons, and
// outlives no program: it hides itself where the file manager can tell that the program is gone,
// and says that Quillfen is no longer installed where it cannot.
class ShellIntegration {
public:
    // Turns an English text of the entries into the language they are written in.
    using Translation = std::function<std::string(std::string_view english)>;

    // Writes the entries' texts in the current language.
    ShellIntegration();
    // Writes them through the given translation.
    explicit ShellIntegration(Translation translation);
    // Labels the files entry with the given text and writes every other text in English.
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
    // True when the last install changed the actions of a Thunar this user has run, which shows
    // them only after it restarts.
    bool thunarRestartNeeded() const;

private:
    void addFileManagers();
    FileManagerEntry folderEntry() const;
    std::vector<FileManagerEntry> entries() const;

    Translation translation_;
    std::vector<std::unique_ptr<FileManagerIntegration>> integrations_;
    const ThunarIntegration* thunar_ = nullptr;
};

}  // namespace quillfen
