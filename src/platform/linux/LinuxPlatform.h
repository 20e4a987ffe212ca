#pragma once

#include "platform/Platform.h"
#include "platform/linux/LinuxClock.h"
#include "platform/linux/LinuxFileSystem.h"
#include "platform/linux/LinuxProcessLauncher.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/linux/LinuxTextServices.h"
#include "platform/linux/LinuxVolumes.h"
#include "platform/linux/MimeFileTypes.h"

namespace quillfen::platform {

class LinuxPlatform : public Platform {
public:
    FileSystem& files() override { return files_; }
    ProcessLauncher& processes() override { return processes_; }
    SystemInfo& system() override { return system_; }
    TextServices& text() override { return text_; }
    Clock& clock() override { return clock_; }
    Volumes& volumes() override { return volumes_; }
    FileTypes& fileTypes() override { return fileTypes_; }

private:
    LinuxFileSystem files_;
    LinuxProcessLauncher processes_;
    LinuxSystemInfo system_;
    LinuxTextServices text_;
    LinuxClock clock_;
    LinuxVolumes volumes_;
    MimeFileTypes fileTypes_;
};

}  // namespace quillfen::platform
