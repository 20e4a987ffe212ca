#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillfen::platform {

// Whether the program that receives the paste moves the files or copies them. Cutting itself
// changes no file.
enum class FileTransfer { Cut, Copy };

// What the desktop does with a found file. Paths are absolute and kept as raw bytes, so a name
// that is not valid in the system encoding still reaches the desktop unchanged. Failures are not
// reported: the user sees that nothing opened.
class DesktopShell {
public:
    virtual ~DesktopShell() = default;

    virtual void openWithDefaultApplication(const std::string& path) = 0;
    // True when the desktop knows a program for the path's type, so opening it shows something.
    virtual bool hasDefaultApplication(const std::string& path) const = 0;
    // Shows the folder holding the path with the path's entry selected, or at least the folder.
    virtual void showInFolder(const std::string& path) = 0;
    // Replaces the whole clipboard with the files, in their order, in every form the desktop's
    // file managers paste, marked to be moved or copied. An empty list still replaces it.
    virtual void putFilesOnClipboard(const std::vector<std::string>& paths,
                                     FileTransfer transfer) = 0;
    // Replaces the whole clipboard with the text.
    virtual void putTextOnClipboard(const std::string& text) = 0;
    // Lets the user choose, in the desktop's own chooser, the program that opens the path.
    virtual void openWithChosenApplication(const std::string& path) = 0;
    // Moves the file or folder into the desktop's trash, from where the user can restore it; it
    // never deletes for good instead. Nothing when moved, else the reason in the user's words.
    virtual std::optional<std::string> moveToTrash(const std::string& path) = 0;
};

}  // namespace quillfen::platform
