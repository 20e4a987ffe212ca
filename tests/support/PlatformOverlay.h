#pragma once

#include "platform/Platform.h"

namespace quillfen::test {

// The installed platform with one of its services replaced by the test's, for the lifetime of the
// object; the previous platform afterwards.
class PlatformOverlay final : public platform::Platform {
public:
    explicit PlatformOverlay(platform::FileTypes& types) : PlatformOverlay() { types_ = &types; }
    explicit PlatformOverlay(platform::Volumes& volumes) : PlatformOverlay() {
        volumes_ = &volumes;
    }
    explicit PlatformOverlay(platform::HttpClient& http) : PlatformOverlay() { http_ = &http; }
    explicit PlatformOverlay(platform::FileSystem& files) : PlatformOverlay() { files_ = &files; }
    PlatformOverlay(platform::FileSystem& files, platform::ProcessLauncher& processes)
        : PlatformOverlay(files) {
        processes_ = &processes;
    }
    PlatformOverlay(const PlatformOverlay&) = delete;
    PlatformOverlay& operator=(const PlatformOverlay&) = delete;
    ~PlatformOverlay() override { platform::installPlatform(&previous_); }

    platform::FileSystem& files() override { return files_ ? *files_ : previous_.files(); }
    platform::ProcessLauncher& processes() override {
        return processes_ ? *processes_ : previous_.processes();
    }
    platform::SystemInfo& system() override { return previous_.system(); }
    platform::TextServices& text() override { return previous_.text(); }
    platform::Clock& clock() override { return previous_.clock(); }
    platform::Volumes& volumes() override { return volumes_ ? *volumes_ : previous_.volumes(); }
    platform::FileTypes& fileTypes() override { return types_ ? *types_ : previous_.fileTypes(); }
    platform::HttpClient& http() override { return http_ ? *http_ : previous_.http(); }
    platform::ProgramResources& resources() override { return previous_.resources(); }
    platform::DiskIdentity& disks() override { return previous_.disks(); }
    platform::Digests& digests() override { return previous_.digests(); }
    platform::SignatureVerifier& signatures() override { return previous_.signatures(); }

private:
    PlatformOverlay() : previous_(platform::currentPlatform()) { platform::installPlatform(this); }

    platform::Platform& previous_;
    platform::FileTypes* types_ = nullptr;
    platform::Volumes* volumes_ = nullptr;
    platform::HttpClient* http_ = nullptr;
    platform::FileSystem* files_ = nullptr;
    platform::ProcessLauncher* processes_ = nullptr;
};

}  // namespace quillfen::test
