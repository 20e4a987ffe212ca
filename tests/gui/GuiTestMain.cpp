#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "platform/linux/LinuxPlatform.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    quillfen::platform::LinuxPlatform platform;
    quillfen::platform::installPlatform(&platform);
    return RUN_ALL_TESTS();
}
