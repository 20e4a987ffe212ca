#pragma once

#include "platform/Clock.h"
#include "platform/Digests.h"
#include "platform/DiskIdentity.h"
#include "platform/FileSystem.h"
#include "platform/FileTypes.h"
#include "platform/HttpClient.h"
#include "platform/ProcessLauncher.h"
#include "platform/ProgramResources.h"
#include "platform/SignatureVerifier.h"
#include "platform/SystemInfo.h"
#include "platform/TextServices.h"
#include "platform/Volumes.h"

namespace quillfen::platform {

// The operating system as the core sees it. Executables install one implementation at start;
// tests may install their own.
class Platform {
public:
    virtual ~Platform() = default;

    virtual FileSystem& files() = 0;
    virtual ProcessLauncher& processes() = 0;
    virtual SystemInfo& system() = 0;
    virtual TextServices& text() = 0;
    virtual Clock& clock() = 0;
    virtual Volumes& volumes() = 0;
    virtual FileTypes& fileTypes() = 0;
    virtual HttpClient& http() = 0;
    virtual ProgramResources& resources() = 0;
    virtual DiskIdentity& disks() = 0;
    virtual Digests& digests() = 0;
    virtual SignatureVerifier& signatures() = 0;
};

// The installed platform. Using it before one is installed is a programming error and aborts.
Platform& currentPlatform();
void installPlatform(Platform* platform);

}  // namespace quillfen::platform
