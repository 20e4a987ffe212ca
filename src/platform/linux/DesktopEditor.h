#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen::platform {

// An application a desktop entry describes: its command without field codes, and whether it
// runs in a terminal.
struct DesktopApplication {
    std::string command;
    bool inTerminal = false;
};

// Finds the text editor of this desktop: a windowed application the desktop offers for plain
// text (its default for text/plain first), else the first well-known editor on PATH, else the
// desktop's terminal editor in a terminal, else xdg-open as a stand-in.
class DesktopEditor {
public:
    static constexpr std::string_view kStandIn = "xdg-open";

    static std::string find();
    // The stand-in that find() gives when the system has no text editor: it opens a file as
    // "Open" does.
    static bool isStandIn(const std::string& command);

    // The application of a desktop entry, or nullopt when the entry runs nothing or is hidden.
    static std::optional<DesktopApplication> applicationOfDesktopEntry(
        const std::string& entryText);
    // The command of a desktop entry's Exec key with its field codes (%f, %U, ...) removed, or
    // nullopt when the entry is not an application that runs in a window of its own.
    static std::optional<std::string> commandOfDesktopEntry(const std::string& entryText);
    // Folders searched for desktop entries, most important first.
    static std::vector<std::string> applicationFolders();
};

}  // namespace quillfen::platform
