#pragma once

#include "platform/Platform.h"
#include "platform/linux/LinuxFileSystem.h"
#include "platform/linux/LinuxProcessLauncher.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/linux/LinuxTextServices.h"

namespace quillfen::platform {

class LinuxPlatform : public Platform {
public:
    FileSystem& files() override { return files_; }
    ProcessLauncher& processes() override { return processes_; }
    SystemInfo& system() override { return system_; }
    TextServices& text() override { return text_; }

private:
    LinuxFileSystem files_;
    LinuxProcessLauncher processes_;
    LinuxSystemInfo system_;
    LinuxTextServices text_;
};

}  // namespace quillfen::platform
