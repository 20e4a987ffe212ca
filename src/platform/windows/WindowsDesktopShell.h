#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/DesktopShell.h"

namespace quillfen::platform {

// The shell's own services for found files: opening by the file's association (ShellExecuteExW,
// FindExecutableW), Explorer showing the file in its folder, and the clipboard in the formats
// Explorer pastes (see ClipboardFormats). Paths are UTF-8 (WTF-8), as the engine keeps them.
class WindowsDesktopShell final : public DesktopShell {
public:
    void openWithDefaultApplication(const std::string& path) override;
    bool hasDefaultApplication(const std::string& path) const override;
    // SHOpenFolderAndSelectItems; when the shell cannot, "explorer.exe /select," with the path.
    void showInFolder(const std::string& path) override;
    // CF_HDROP and "Preferred DropEffect".
    void putFilesOnClipboard(const std::vector<std::string>& paths, FileTransfer transfer) override;
    // CF_UNICODETEXT, so that every name arrives whole, and CF_TEXT in the system's ANSI code page
    // for programs that read only that.
    void putTextOnClipboard(const std::string& text) override;
    // SHOpenWithDialog over the active window.
    void openWithChosenApplication(const std::string& path) override;
    // The Recycle Bin through SHFileOperationW with undo; where the bin cannot take the file the
    // shell warns before it would delete it for good.
    std::optional<std::string> moveToTrash(const std::string& path) override;
};

}  // namespace quillfen::platform
