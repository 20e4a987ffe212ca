#pragma once

#include <memory>

#include "platform/OfflineHttpClient.h"
#include "platform/Platform.h"
#include "platform/PortableSignatureVerifier.h"
#include "platform/windows/BCryptDigests.h"
#include "platform/windows/WindowsClock.h"
#include "platform/windows/WindowsDiskIdentity.h"
#include "platform/windows/WindowsFileSystem.h"
#include "platform/windows/WindowsFileTypes.h"
#include "platform/windows/WindowsProcessLauncher.h"
#include "platform/windows/WindowsResources.h"
#include "platform/windows/WindowsSystemInfo.h"
#include "platform/windows/WindowsTextServices.h"
#include "platform/windows/WindowsVolumes.h"

namespace quillfen::platform {

class WindowsPlatform : public Platform {
public:
    // A program that goes online passes its HTTP client (WinInetHttpClient); without one every
    // request fails as it would without a network, as suits a program that never goes online.
    // The digests come from the system's own cryptography library, which every program has; its
    // signature checks have no Ed25519, so the program checks signatures itself.
    explicit WindowsPlatform(std::unique_ptr<HttpClient> http = nullptr)
        : http_(http ? std::move(http) : std::make_unique<OfflineHttpClient>()) {}

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
    Digests& digests() override { return digests_; }
    SignatureVerifier& signatures() override { return signatures_; }

private:
    WindowsFileSystem files_;
    WindowsProcessLauncher processes_;
    WindowsSystemInfo system_;
    WindowsTextServices text_;
    WindowsClock clock_;
    WindowsVolumes volumes_;
    WindowsFileTypes fileTypes_;
    std::unique_ptr<HttpClient> http_;
    WindowsResources resources_;
    WindowsDiskIdentity disks_;
    BCryptDigests digests_;
    PortableSignatureVerifier signatures_;
};

}  // namespace quillfen::platform
