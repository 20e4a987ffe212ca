#pragma once

#include "platform/linux/LinuxFileSystem.h"
#include "support/TestPlatform.h"

namespace quillfen::test {

// The platform a program folder fixture installs: the Linux test platform with its fixed facts.
using ProgramFolderPlatform = TestPlatform;
// This system's file store, which a test may give a hook that runs just before each replacement.
using SystemFileSystem = platform::LinuxFileSystem;

}  // namespace quillfen::test
