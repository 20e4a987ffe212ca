#include "platform/Platform.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace quillfen::platform {

namespace {
std::atomic<Platform*> installed{nullptr};
}

Platform& currentPlatform() {
    Platform* platform = installed.load(std::memory_order_acquire);
    if (platform == nullptr) {
        std::fputs("quillfen: no platform installed\n", stderr);
        std::abort();
    }
    return *platform;
}

void installPlatform(Platform* platform) {
    installed.store(platform, std::memory_order_release);
}

}  // namespace quillfen::platform
