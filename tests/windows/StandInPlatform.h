#pragma once

#include "platform/Platform.h"
#include "platform/PortableSignatureVerifier.h"
#include "platform/windows/BCryptDigests.h"

namespace quillfen::test {

// The little of Windows that the platform-free unit tests touch, until the Win32 platform layer
// exists: the path separator, the text services, the clock, the digests and the signature checks.
// Every other service aborts with its name, so a test that needs more shows up at once.
class StandInPlatform final : public platform::Platform {
public:
    platform::FileSystem& files() override;
    platform::TextServices& text() override;
    platform::Clock& clock() override;
    platform::Digests& digests() override { return digests_; }
    platform::SignatureVerifier& signatures() override { return signatures_; }
    platform::ProcessLauncher& processes() override { missing("processes"); }
    platform::SystemInfo& system() override { missing("system"); }
    platform::Volumes& volumes() override { missing("volumes"); }
    platform::FileTypes& fileTypes() override { missing("fileTypes"); }
    platform::HttpClient& http() override { missing("http"); }
    platform::ProgramResources& resources() override { missing("resources"); }
    platform::DiskIdentity& disks() override { missing("disks"); }

    [[noreturn]] static void missing(const char* service);

private:
    platform::BCryptDigests digests_;
    platform::PortableSignatureVerifier signatures_;
};

}  // namespace quillfen::test
