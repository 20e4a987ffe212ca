#include <gtest/gtest.h>

#include "StandInPlatform.h"
#include "WindowsTestPlatform.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    quillfen::test::StandInPlatform standIn;
    quillfen::platform::installPlatform(&standIn);
    // The engine's own tests walk real folders, as they do on Linux.
    const quillfen::test::WindowsTestPlatform platform;
    return RUN_ALL_TESTS();
}
