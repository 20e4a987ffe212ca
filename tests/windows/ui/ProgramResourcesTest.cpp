// clang-format off
#include <windows.h>
// clang-format on

#include <gtest/gtest.h>

#include <string>

#include "ui/win32/ResourceIds.h"

namespace quillfen {
namespace {

// The search window adds its "Config..." item only when this string loads.
TEST(ProgramResources, TheAboutStringLoads) {
    wchar_t text[64] = {};
    ASSERT_GT(LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUT, text, 64), 0);
    EXPECT_EQ(std::wstring(text), L"&About Quillfen!...");
}

}  // namespace
}  // namespace quillfen
