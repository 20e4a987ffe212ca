#pragma once

#include <cstdlib>

#include "platform/Platform.h"
#include "platform/linux/LinuxClock.h"
#include "platform/linux/LinuxFileSystem.h"

namespace quillfen::fuzz {

// The real Linux files and clock, which is all the zip reader asks of the platform. Everything
// else aborts, so that a reader that starts needing more shows up at once rather than silently
// linking the whole desktop stack into the fuzz target.
class FuzzPlatform final : public platform::Platform {
public:
    platform::FileSystem& files() override { return files_; }
    platform::Clock& clock() override { return clock_; }
    platform::ProcessLauncher& processes() override { unused(); }
    platform::SystemInfo& system() override { unused(); }
    platform::TextServices& text() override { unused(); }
    platform::Volumes& volumes() override { unused(); }
    platform::FileTypes& fileTypes() override { unused(); }
    platform::HttpClient& http() override { unused(); }
    platform::ProgramResources& resources() override { unused(); }
    platform::DiskIdentity& disks() override { unused(); }
    platform::Digests& digests() override { unused(); }

private:
    [[noreturn]] static void unused() { std::abort(); }

    platform::LinuxFileSystem files_;
    platform::LinuxClock clock_;
};

}  // namespace quillfen::fuzz
