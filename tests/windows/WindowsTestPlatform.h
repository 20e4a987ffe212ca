#pragma once

#include "StandInPlatform.h"
#include "WindowsTestSystemInfo.h"
#include "platform/windows/WinInetHttpClient.h"
#include "platform/windows/WindowsDiskIdentity.h"
#include "platform/windows/WindowsFileSystem.h"
#include "platform/windows/WindowsFileTypes.h"
#include "platform/windows/WindowsProcessLauncher.h"
#include "platform/windows/WindowsResources.h"

namespace quillfen::test {

// The real Windows services the engine's tests reach: files, processes, system facts (with the
// ones a test must fix overridable), WinInet, the program's resources, disk identity and the
// digests, the shell's type texts; volumes that know only how drive roots are spelt, so that no
// test walks every drive. Installed for the lifetime of the object, the
// previous platform afterwards.
class WindowsTestPlatform final : public platform::Platform {
public:
    WindowsTestPlatform();
    WindowsTestPlatform(const WindowsTestPlatform&) = delete;
    WindowsTestPlatform& operator=(const WindowsTestPlatform&) = delete;
    ~WindowsTestPlatform() override;

    platform::FileSystem& files() override { return files_; }
    platform::Volumes& volumes() override;
    platform::TextServices& text() override { return standIn_.text(); }
    platform::Clock& clock() override { return standIn_.clock(); }
    platform::Digests& digests() override { return standIn_.digests(); }
    platform::SignatureVerifier& signatures() override { return standIn_.signatures(); }
    platform::ProcessLauncher& processes() override { return processes_; }
    platform::SystemInfo& system() override { return system_; }
    platform::FileTypes& fileTypes() override { return types_; }
    platform::HttpClient& http() override { return http_; }
    platform::ProgramResources& resources() override { return resources_; }
    platform::DiskIdentity& disks() override { return disks_; }

    WindowsTestSystemInfo& facts() { return system_; }

private:
    platform::Platform* previous_;
    StandInPlatform standIn_;
    platform::WindowsFileSystem files_;
    platform::WindowsProcessLauncher processes_;
    WindowsTestSystemInfo system_;
    platform::WinInetHttpClient http_;
    platform::WindowsResources resources_;
    platform::WindowsDiskIdentity disks_;
    platform::WindowsFileTypes types_;
};

}  // namespace quillfen::test
