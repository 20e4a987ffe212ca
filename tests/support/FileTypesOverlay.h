#pragma once

#include "platform/Platform.h"

namespace quillfen::test {

// The installed platform with other file types in place of its own, for the lifetime of the
// object; the previous platform afterwards.
class FileTypesOverlay final : public platform::Platform {
public:
    explicit FileTypesOverlay(platform::FileTypes& types)
        : previous_(platform::currentPlatform()), types_(types) {
        platform::installPlatform(this);
    }
    FileTypesOverlay(const FileTypesOverlay&) = delete;
    FileTypesOverlay& operator=(const FileTypesOverlay&) = delete;
    ~FileTypesOverlay() override { platform::installPlatform(&previous_); }

    platform::FileSystem& files() override { return previous_.files(); }
    platform::ProcessLauncher& processes() override { return previous_.processes(); }
    platform::SystemInfo& system() override { return previous_.system(); }
    platform::TextServices& text() override { return previous_.text(); }
    platform::Clock& clock() override { return previous_.clock(); }
    platform::Volumes& volumes() override { return previous_.volumes(); }
    platform::FileTypes& fileTypes() override { return types_; }
    platform::HttpClient& http() override { return previous_.http(); }
    platform::ProgramResources& resources() override { return previous_.resources(); }
    platform::DiskIdentity& disks() override { return previous_.disks(); }
    platform::Digests& digests() override { return previous_.digests(); }

private:
    platform::Platform& previous_;
    platform::FileTypes& types_;
};

}  // namespace quillfen::test
