#pragma once

#include "platform/SystemInfo.h"

namespace quillfen::platform {

class LinuxSystemInfo : public SystemInfo {
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
    bool isStandInEditor(const std::string& command) const override;
};

}  // namespace quillfen::platform
