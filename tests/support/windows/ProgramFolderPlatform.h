#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"
#include "platform/windows/WindowsFileSystem.h"
#include "platform/windows/WindowsProcessLauncher.h"
#include "platform/windows/WindowsSystemInfo.h"

namespace quillfen::test {

// The real Windows system information with the facts that tests need to fix overridden.
class TestSystemInfo final : public platform::SystemInfo {
public:
    std::optional<std::string> fixedExecutablePath;
    std::optional<bool> fixedInstalledCopy;
    std::optional<std::string> fixedUserName;
    std::optional<std::string> fixedComputerName;
    std::optional<std::string> fixedUserConfigDirectory;
    std::optional<std::string> fixedUserDataDirectory;
    std::optional<std::string> fixedUserCacheDirectory;
    std::optional<int> fixedLanguageId;
    std::optional<std::string> fixedLanguageName;
    std::optional<std::string> fixedTextEditor;

    std::string executablePath() const override;
    bool isInstalledCopy() const override {
        return fixedInstalledCopy.value_or(system_.isInstalledCopy());
    }
    std::string userName() const override;
    std::string computerName() const override;
    std::string userConfigDirectory() const override;
    std::string userDataDirectory() const override;
    std::string userCacheDirectory() const override {
        return fixedUserCacheDirectory.value_or(system_.userCacheDirectory());
    }
    int systemLanguageId() const override;
    std::string systemLanguageEnglishName() const override;
    int processId() const override { return system_.processId(); }
    std::string defaultTextEditor() const override;

private:
    platform::WindowsSystemInfo system_;
};

// This system's file store, which a test may give a hook that runs just before each replacement.
using SystemFileSystem = platform::WindowsFileSystem;

// The platform installed when the object is made, with system facts the test fixes and real
// processes (a program's restart, its editor); installed for the lifetime of the object, the
// previous platform afterwards.
class ProgramFolderPlatform final : public platform::Platform {
public:
    ProgramFolderPlatform();
    ProgramFolderPlatform(const ProgramFolderPlatform&) = delete;
    ProgramFolderPlatform& operator=(const ProgramFolderPlatform&) = delete;
    ~ProgramFolderPlatform() override;

    TestSystemInfo& facts() { return system_; }

    platform::SystemInfo& system() override { return system_; }
    platform::FileSystem& files() override { return previous_.files(); }
    platform::TextServices& text() override { return previous_.text(); }
    platform::Clock& clock() override { return previous_.clock(); }
    platform::Volumes& volumes() override { return previous_.volumes(); }
    platform::Digests& digests() override { return previous_.digests(); }
    platform::SignatureVerifier& signatures() override { return previous_.signatures(); }
    platform::ProcessLauncher& processes() override { return processes_; }
    platform::FileTypes& fileTypes() override { return previous_.fileTypes(); }
    platform::HttpClient& http() override { return previous_.http(); }
    platform::ProgramResources& resources() override { return previous_.resources(); }
    platform::DiskIdentity& disks() override { return previous_.disks(); }

private:
    platform::Platform& previous_;
    TestSystemInfo system_;
    platform::WindowsProcessLauncher processes_;
};

}  // namespace quillfen::test
