#include <gtest/gtest.h>

#include <memory>

#include <QApplication>
#include <cstdlib>

#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/curl/CurlHttpClient.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    quillfen::platform::LinuxPlatform platform(
        {}, std::make_unique<quillfen::platform::CurlHttpClient>());
    quillfen::platform::installPlatform(&platform);
    return RUN_ALL_TESTS();
}
