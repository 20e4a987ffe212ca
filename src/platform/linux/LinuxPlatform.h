#pragma once

#include <memory>
#include <span>

#include "platform/OfflineHttpClient.h"
#include "platform/Platform.h"
#include "platform/PortableSignatureVerifier.h"
#include "platform/linux/EmbeddedResources.h"
#include "platform/linux/LinuxClock.h"
#include "platform/linux/LinuxDiskIdentity.h"
#include "platform/linux/LinuxFileSystem.h"
#include "platform/linux/LinuxProcessLauncher.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/linux/LinuxTextServices.h"
#include "platform/linux/LinuxVolumes.h"
#include "platform/linux/MimeFileTypes.h"
#include "platform/linux/NoDigests.h"

namespace quillfen::platform {

class LinuxPlatform : public Platform {
public:
    // A program that goes online passes its HTTP client, its digests and its signature checks
    // (OpenSslSignatureVerifier); without them every request fails, no digest is given and
    // signatures are checked by the program's own code, so a program that never goes online loads
    // neither a network nor a cryptography library.
    explicit LinuxPlatform(std::span<const std::uint8_t> downloaderArchive = {},
                           std::unique_ptr<HttpClient> http = nullptr,
                           std::unique_ptr<Digests> digests = nullptr,
                           std::unique_ptr<SignatureVerifier> signatures = nullptr)
        : http_(http ? std::move(http) : std::make_unique<OfflineHttpClient>()),
          resources_(downloaderArchive),
          digests_(digests ? std::move(digests) : std::make_unique<NoDigests>()),
          signatures_(signatures ? std::move(signatures)
                                 : std::make_unique<PortableSignatureVerifier>()) {}

    FileSystem& files() override { return files_; }
    ProcessLauncher& processes() override { return processes_; }
    SystemInfo& system() override { return system_; }
    TextServices& text() override { return text_; }
    Clock& clock() override { return clock_; }
    Volumes& volumes() override { return volumes_; }
    FileTypes& fileTypes() override { return fileTypes_; }
    HttpClient& http() override { return *http_; }
    ProgramResources& resources() override { return resources_; }
    DiskIdentity& disks() override { return disks_; }
    Digests& digests() override { return *digests_; }
    SignatureVerifier& signatures() override { return *signatures_; }

private:
    LinuxFileSystem files_;
    LinuxProcessLauncher processes_;
    LinuxSystemInfo system_;
    LinuxTextServices text_;
    LinuxClock clock_;
    LinuxVolumes volumes_;
    MimeFileTypes fileTypes_;
    std::unique_ptr<HttpClient> http_;
    EmbeddedResources resources_;
    LinuxDiskIdentity disks_;
    std::unique_ptr<Digests> digests_;
    std::unique_ptr<SignatureVerifier> signatures_;
};

}  // namespace quillfen::platform
