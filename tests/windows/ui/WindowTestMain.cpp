// clang-format off
#include <windows.h>
// clang-format on

#include <gtest/gtest.h>

#include "platform/windows/WindowsPlatform.h"
#include "ui/win32/ScreenScale.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    quillfen::win32::initCommonControls();
    quillfen::platform::WindowsPlatform platform;
    quillfen::platform::installPlatform(&platform);
    return RUN_ALL_TESTS();
}
