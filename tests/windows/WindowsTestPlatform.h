#pragma once

#include "StandInPlatform.h"
#include "platform/windows/WindowsFileSystem.h"

namespace quillfen::test {

// The stand-in platform with the real Windows file system, and volumes that know only how drive
// roots are spelt: enough for the engine's walks over a test's own folders. Installed for the
// lifetime of the object, the previous platform afterwards.
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
    platform::ProcessLauncher& processes() override { return standIn_.processes(); }
    platform::SystemInfo& system() override { return standIn_.system(); }
    platform::FileTypes& fileTypes() override { return standIn_.fileTypes(); }
    platform::HttpClient& http() override { return standIn_.http(); }
    platform::ProgramResources& resources() override { return standIn_.resources(); }
    platform::DiskIdentity& disks() override { return standIn_.disks(); }

private:
    platform::Platform* previous_;
    StandInPlatform standIn_;
    platform::WindowsFileSystem files_;
};

}  // namespace quillfen::test
