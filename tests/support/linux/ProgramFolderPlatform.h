#pragma once

#include "support/TestPlatform.h"

namespace quillfen::test {

// The platform a program folder fixture installs: the Linux test platform with its fixed facts.
using ProgramFolderPlatform = TestPlatform;

}  // namespace quillfen::test
