#include "platform/windows/IcoEncoder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "IconMaker.h"

namespace quillfen::platform {
namespace {

std::uint32_t uint32At(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

std::uint16_t uint16At(const std::string& bytes, std::size_t at) {
    std::uint16_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

// The icon the system makes of the file's image, as the list's image list would make it.
HICON iconOfFile(const std::string& bytes, int side) {
    auto* directory = reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()));
    const int offset = LookupIconIdFromDirectoryEx(directory, TRUE, side, side, LR_DEFAULTCOLOR);
    if (offset != static_cast<int>(IcoEncoder::kImageOffset)) {
        return nullptr;
    }
    return CreateIconFromResourceEx(directory + offset,
                                    static_cast<DWORD>(bytes.size() - IcoEncoder::kImageOffset),
                                    TRUE, 0x00030000, side, side, LR_DEFAULTCOLOR);
}

TEST(IcoEncoder, TheFileHasOneThirtyTwoBitImageOfTheIconsSize) {
    const HICON icon = test::makeColorIcon(32, 0x80);
    ASSERT_NE(icon, nullptr);
    const auto bytes = IcoEncoder::encode(icon);
    DestroyIcon(icon);
    ASSERT_TRUE(bytes.has_value());
    const std::size_t pixels = 32 * 32 * 4;
    const std::size_t mask = 32 * 4;
    ASSERT_EQ(bytes->size(), 22 + 40 + pixels + mask);
    EXPECT_EQ(bytes->substr(0, 6), std::string("\0\0\1\0\1\0", 6));
    EXPECT_EQ(static_cast<unsigned char>((*bytes)[6]), 32);
    EXPECT_EQ(static_cast<unsigned char>((*bytes)[7]), 32);
    EXPECT_EQ(uint16At(*bytes, 10), 1);
    EXPECT_EQ(uint16At(*bytes, 12), 32);
    EXPECT_EQ(uint32At(*bytes, 14), 40 + pixels + mask);
    EXPECT_EQ(uint32At(*bytes, 18), 22u);
    EXPECT_EQ(uint32At(*bytes, 22 + 8), 64u);
}

struct RoundTripCase {
    const char* what;
    HICON icon;
    int side;
};

// The system reads the file back into an icon whose file is the same again, so no pixel, alpha
// value or mask bit is lost on the way to the user-interface thread.
TEST(IcoEncoder, TheSystemReadsTheFileBackIntoTheSameIcon) {
    const std::vector<RoundTripCase> cases = {
        {"colour with alpha", test::makeColorIcon(32, 0x80), 32},
        {"colour without alpha", test::makeColorIcon(16, 0), 16},
        {"monochrome", test::makeMonochromeIcon(32), 32},
        {"large", test::makeColorIcon(48, 0xFF), 48},
    };
    for (const RoundTripCase& c : cases) {
        ASSERT_NE(c.icon, nullptr) << c.what;
        const auto bytes = IcoEncoder::encode(c.icon);
        DestroyIcon(c.icon);
        ASSERT_TRUE(bytes.has_value()) << c.what;
        const HICON readBack = iconOfFile(*bytes, c.side);
        ASSERT_NE(readBack, nullptr) << c.what;
        EXPECT_EQ(IcoEncoder::encode(readBack), bytes) << c.what;
        DestroyIcon(readBack);
    }
}

TEST(IcoEncoder, AHandleThatIsNoIconGivesNothing) {
    EXPECT_EQ(IcoEncoder::encode(nullptr), std::nullopt);
    const HICON icon = test::makeColorIcon(16, 0);
    DestroyIcon(icon);
    EXPECT_EQ(IcoEncoder::encode(icon), std::nullopt);
}

}  // namespace
}  // namespace quillfen::platform
