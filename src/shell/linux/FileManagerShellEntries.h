#pragma once

#include "shell/linux/ShellIntegration.h"
#include "ui/ShellEntries.h"

namespace quillfen {

// The desktop's file-manager entries behind the configuration dialog's check box.
class FileManagerShellEntries final : public ShellEntries {
public:
    bool isInstalled() const override { return integration_.isInstalled(); }
    ShellEntriesNotice install(const std::string& languageId) override;
    void remove() override { integration_.remove(); }

private:
    ShellIntegration integration_;
};

}  // namespace quillfen
