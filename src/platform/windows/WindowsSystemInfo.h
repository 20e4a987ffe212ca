#pragma once

#include "platform/SystemInfo.h"

namespace quillfen::platform {

// The running process, its user and its machine as Windows reports them. The per-user folders
// are the user's application-data folders: configuration and shared data roam with the user,
// the cache stays on the machine.
class WindowsSystemInfo final : public SystemInfo {
public:
    std::string executablePath() const override;
    bool isInstalledCopy() const override;
    std::string userName() const override;
    std::string computerName() const override;
    std::string userConfigDirectory() const override;
    std::string userDataDirectory() const override;
    std::string userCacheDirectory() const override;
    int systemLanguageId() const override;
    std::string systemLanguageEnglishName() const override;
    int processId() const override;
    std::string defaultTextEditor() const override;
};

}  // namespace quillfen::platform
