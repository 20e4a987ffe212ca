#pragma once

#include "platform/Platform.h"
#include "platform/linux/CurlHttpClient.h"
#include "platform/linux/EmbeddedResources.h"
#include "platform/linux/LinuxClock.h"
#include "platform/linux/LinuxDiskIdentity.h"
#include "platform/linux/LinuxFileSystem.h"
#include "platform/linux/LinuxProcessLauncher.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/linux/LinuxTextServices.h"
#include "platform/linux/LinuxVolumes.h"
#include "platform/linux/MimeFileTypes.h"

namespace quillfen::platform {

class LinuxPlatform : public Platform {
public:
    explicit LinuxPlatform(std::span<const std::uint8_t> downloaderArchive = {})
        : resources_(downloaderArchive) {}

    FileSystem& files() override { return files_; }
    ProcessLauncher& processes() override { return processes_; }
    SystemInfo& system() override { return system_; }
    TextServices& text() override { return text_; }
    Clock& clock() override { return clock_; }
    Volumes& volumes() override { return volumes_; }
    FileTypes& fileTypes() override { return fileTypes_; }
    HttpClient& http() override { return http_; }
    ProgramResources& resources() override { return resources_; }
    DiskIdentity& disks() override { return disks_; }

private:
    LinuxFileSystem files_;
    LinuxProcessLauncher processes_;
    LinuxSystemInfo system_;
    LinuxTextServices text_;
    LinuxClock clock_;
    LinuxVolumes volumes_;
    MimeFileTypes fileTypes_;
    CurlHttpClient http_;
    EmbeddedResources resources_;
    LinuxDiskIdentity disks_;
};

}  // namespace quillfen::platform
