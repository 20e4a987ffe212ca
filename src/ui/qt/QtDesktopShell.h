#pragma once

#include "platform/DesktopShell.h"

namespace quillfen::qt {

// The desktop's services through Qt and the freedesktop.org conventions: xdg-open for opening,
// xdg-mime for default applications, the file manager's D-Bus interface for showing a file in its
// folder, the desktop portal's application chooser, the freedesktop.org trash through GIO, and
// the Qt clipboard. Used on the user-interface thread only.
class QtDesktopShell final : public platform::DesktopShell {
public:
    void openWithDefaultApplication(const std::string& path) override;
    bool hasDefaultApplication(const std::string& path) const override;
    void showInFolder(const std::string& path) override;
    void putFilesOnClipboard(const std::vector<std::string>& paths,
                             platform::FileTransfer transfer) override;
    void putTextOnClipboard(const std::string& text) override;
    // The portal's OpenURI.OpenFile with "ask"; without a portal, the program file chooser, the
    // chosen program started with the path as its one argument.
    void openWithChosenApplication(const std::string& path) override;
    std::optional<std::string> moveToTrash(const std::string& path) override;
};

}  // namespace quillfen::qt
