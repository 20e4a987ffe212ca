#pragma once

#include <optional>
#include <string>

#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/crypto/OpenSslDigests.h"
#include "platform/linux/crypto/OpenSslSignatureVerifier.h"
#include "platform/linux/curl/CurlHttpClient.h"

namespace quillfen::test {

// The real Linux system information with the facts that tests need to fix overridden.
class TestSystemInfo : public platform::LinuxSystemInfo {
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
    bool isInstalledCopy() const override;
    std::string userName() const override;
    std::string computerName() const override;
    std::string userConfigDirectory() const override;
    std::string userDataDirectory() const override;
    std::string userCacheDirectory() const override;
    int systemLanguageId() const override;
    std::string systemLanguageEnglishName() const override;
    std::string defaultTextEditor() const override;
};

// The Linux platform with overridable system facts, installed for the lifetime of the object and
// replaced by the previous platform afterwards.
class TestPlatform : public platform::Platform {
public:
    TestPlatform();
    TestPlatform(const TestPlatform&) = delete;
    TestPlatform& operator=(const TestPlatform&) = delete;
    ~TestPlatform() override;

    platform::FileSystem& files() override { return files_; }
    platform::ProcessLauncher& processes() override { return processes_; }
    platform::SystemInfo& system() override { return system_; }
    platform::TextServices& text() override { return text_; }
    platform::Clock& clock() override { return clock_; }
    platform::Volumes& volumes() override {
        return volumesOverride != nullptr ? *volumesOverride : volumes_;
    }
    platform::FileTypes& fileTypes() override { return fileTypes_; }
    platform::HttpClient& http() override { return http_; }
    platform::ProgramResources& resources() override {
        return resourcesOverride != nullptr ? *resourcesOverride : resources_;
    }

    TestSystemInfo& facts() { return system_; }

    // Volumes the test made up, in place of the machine's own mount table.
    platform::DiskIdentity& disks() override { return disks_; }
    platform::Digests& digests() override { return digests_; }
    platform::SignatureVerifier& signatures() override { return signatures_; }

    platform::Volumes* volumesOverride = nullptr;
    // Resources the test made up, in place of none.
    platform::ProgramResources* resourcesOverride = nullptr;

private:
    platform::Platform* previous_;
    platform::LinuxFileSystem files_;
    platform::LinuxProcessLauncher processes_;
    TestSystemInfo system_;
    platform::LinuxTextServices text_;
    platform::LinuxClock clock_;
    platform::LinuxVolumes volumes_;
    platform::MimeFileTypes fileTypes_;
    platform::CurlHttpClient http_;
    platform::EmbeddedResources resources_;
    platform::LinuxDiskIdentity disks_;
    platform::OpenSslDigests digests_;
    platform::OpenSslSignatureVerifier signatures_;
};

}  // namespace quillfen::test
