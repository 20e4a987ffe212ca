#pragma once

#include <string>
#include <utility>
#include <vector>

namespace quillfen::platform {

// One clipboard change: every format under its MIME type, and the text that programs without
// file-list support paste.
struct ClipboardContent {
    // MIME type and bytes, in the order the formats are offered.
    std::vector<std::pair<std::string, std::string>> formats;
    std::string plainText;

    bool operator==(const ClipboardContent&) const = default;
};

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
    // Replaces the whole clipboard.
    virtual void putOnClipboard(const ClipboardContent& content) = 0;
};

}  // namespace quillfen::platform
