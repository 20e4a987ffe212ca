#pragma once

#include "platform/Platform.h"

namespace quillfen::test {

// The platform installed before it, with the given HTTP client in place of its own; installed
// for the lifetime of the object and replaced by the previous platform afterwards.
class HttpOverlayPlatform final : public platform::Platform {
public:
    explicit HttpOverlayPlatform(platform::HttpClient& http);
    HttpOverlayPlatform(const HttpOverlayPlatform&) = delete;
    HttpOverlayPlatform& operator=(const HttpOverlayPlatform&) = delete;
    ~HttpOverlayPlatform() override;

    platform::FileSystem& files() override { return previous_.files(); }
    platform::ProcessLauncher& processes() override { return previous_.processes(); }
    platform::SystemInfo& system() override { return previous_.system(); }
    platform::TextServices& text() override { return previous_.text(); }
    platform::Clock& clock() override { return previous_.clock(); }
    platform::Volumes& volumes() override { return previous_.volumes(); }
    platform::FileTypes& fileTypes() override { return previous_.fileTypes(); }
    platform::HttpClient& http() override { return http_; }
    platform::ProgramResources& resources() override { return previous_.resources(); }
    platform::DiskIdentity& disks() override { return previous_.disks(); }
    platform::Digests& digests() override { return previous_.digests(); }

private:
    platform::Platform& previous_;
    platform::HttpClient& http_;
};

}  // namespace quillfen::test
