#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/DesktopShell.h"

namespace quillfen::platform {

// One clipboard change as the Linux desktops read it: every format under its MIME type, and the
// text that programs without file-list support paste.
struct MimeClipboard {
    // The files for the file managers in all the forms they read: a URI list, the GNOME and MATE
    // copied-files lists, the KDE cut marker ("1" for Cut, "0" for Copy, as KDE writes it itself),
    // and the paths one per line as plain text.
    static MimeClipboard ofFiles(const std::vector<std::string>& paths, FileTransfer transfer);
    // Plain text only.
    static MimeClipboard ofText(std::string text);

    // MIME type and bytes, in the order the formats are offered.
    std::vector<std::pair<std::string, std::string>> formats;
    std::string plainText;

    bool operator==(const MimeClipboard&) const = default;
};

}  // namespace quillfen::platform
