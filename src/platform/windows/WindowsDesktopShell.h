#pragma once

#include <string>
#include <vector>

#include "platform/DesktopShell.h"

namespace quillfen::platform {

// The found files handed to the Windows shell: opened with their associated program, shown in
// Explorer, or put on the clipboard in the forms Explorer pastes.
class WindowsDesktopShell : public DesktopShell {
public:
    void openWithDefaultApplication(const std::string& path) override;
    bool hasDefaultApplication(const std::string& path) const override;
    void showInFolder(const std::string& path) override;
    void putFilesOnClipboard(const std::vector<std::string>& paths, FileTransfer transfer) override;
    void putTextOnClipboard(const std::string& text) override;
};

}  // namespace quillfen::platform
