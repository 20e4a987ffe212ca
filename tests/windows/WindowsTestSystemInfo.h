#pragma once

#include <optional>
#include <string>

#include "platform/windows/WindowsSystemInfo.h"

namespace quillfen::test {

// The real Windows system information with the facts that tests need to fix overridden: where
// the program seems to run from, whether that copy was installed, and the user's cache folder, so
// that a test's update lands in a folder of its own.
class WindowsTestSystemInfo final : public platform::SystemInfo {
public:
    std::optional<std::string> fixedExecutablePath;
    std::optional<std::string> fixedUserCacheDirectory;
    std::optional<bool> fixedInstalledCopy;

    std::string executablePath() const override;
    bool isInstalledCopy() const override {
        return fixedInstalledCopy ? *fixedInstalledCopy : real_.isInstalledCopy();
    }
    std::string userName() const override { return real_.userName(); }
    std::string computerName() const override { return real_.computerName(); }
    std::string userConfigDirectory() const override { return real_.userConfigDirectory(); }
    std::string userDataDirectory() const override { return real_.userDataDirectory(); }
    std::string userCacheDirectory() const override;
    int systemLanguageId() const override { return real_.systemLanguageId(); }
    std::string systemLanguageEnglishName() const override {
        return real_.systemLanguageEnglishName();
    }
    int processId() const override { return real_.processId(); }
    std::string defaultTextEditor() const override { return real_.defaultTextEditor(); }

private:
    platform::WindowsSystemInfo real_;
};

}  // namespace quillfen::test
