#include <gtest/gtest.h>

#include "platform/linux/LinuxPlatform.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    quillfen::platform::LinuxPlatform platform;
    quillfen::platform::installPlatform(&platform);
    return RUN_ALL_TESTS();
}
