// clang-format off
#include <windows.h>
// clang-format on

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "ui/win32/IcoBytesIcon.h"

namespace quillfen {
namespace {

std::string programIconBytes() {
    std::ifstream file(QUILLFEN_SOURCE_DIR "/res/windows/quillfen.ico", std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

int widthOf(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) {
        return -1;
    }
    BITMAP bitmap{};
    GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr) {
        DeleteObject(info.hbmColor);
    }
    return bitmap.bmWidth;
}

// The program's own icon holds 16, 32, 48 and 256 pixels; each size asked for is made.
TEST(IcoBytesIcon, MakesTheSizeAskedFor) {
    const std::string bytes = programIconBytes();
    ASSERT_FALSE(bytes.empty());
    for (const int size : {16, 20, 24, 32, 48, 256}) {
        HICON icon = win32::iconFromIcoBytes(bytes, size);
        ASSERT_NE(icon, nullptr) << size;
        EXPECT_EQ(widthOf(icon), size);
        DestroyIcon(icon);
    }
}

TEST(IcoBytesIcon, MalformedBytesGiveNoIcon) {
    const std::string bytes = programIconBytes();
    std::string pointsPastTheEnd = bytes.substr(0, 22);
    const std::string cases[] = {
        "",
        std::string("\0\0\1\0", 4),
        std::string("\0\0\2\0\1\0", 6),
        std::string("\0\0\1\0\1\0", 6),
        pointsPastTheEnd,
    };
    for (const std::string& malformed : cases) {
        EXPECT_EQ(win32::iconFromIcoBytes(malformed, 16), nullptr) << malformed.size();
    }
}

}  // namespace
}  // namespace quillfen
