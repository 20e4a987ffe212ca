#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillfen::platform {

// Finds the graphical text editor of this desktop: the default application for plain text, else
// the first well-known editor on PATH, else xdg-open.
class DesktopEditor {
public:
    static std::string find();

    // The command of a desktop entry's Exec key with its field codes (%f, %U, ...) removed, or
    // nullopt when the entry is not an application that runs in a window of its own.
    static std::optional<std::string> commandOfDesktopEntry(const std::string& entryText);
    // Folders searched for desktop entries, most important first.
    static std::vector<std::string> applicationFolders();
};

}  // namespace quillfen::platform
