#include "search/DiskReads.h"

#include "platform/Platform.h"

namespace quillfen {

DiskReadCounter systemDiskReads() {
    return [] { return platform::currentPlatform().files().diskReadsOfThisThread(); };
}

}  // namespace quillfen
