#include <gtest/gtest.h>

#include "StandInPlatform.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    quillfen::test::StandInPlatform platform;
    quillfen::platform::installPlatform(&platform);
    return RUN_ALL_TESTS();
}
