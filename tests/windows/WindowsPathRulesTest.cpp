#include "platform/windows/WindowsPathRules.h"

#include <gtest/gtest.h>

#include "app/PathHelpers.h"
#include "platform/windows/LongPath.h"
#include "platform/windows/WideText.h"

namespace quillfen {
namespace {

TEST(WindowsPathRules, RootLengths) {
    const std::vector<std::pair<std::string, std::size_t>> cases{
        {"", 0},
        {"relative\\path", 0},
        {"C:", 2},
        {"c:relative", 2},
        {"C:\\", 3},
        {"C:/", 3},
        {"C:\\Windows\\", 3},
        {"\\", 1},
        {"\\Windows", 1},
        {"\\\\server", 8},
        {"\\\\server\\share", 14},
        {"\\\\server\\share\\", 15},
        {"\\\\server\\share\\folder\\", 15},
        {"//server/share/folder", 15},
        {"\\\\?\\C:\\", 7},
        {"\\\\?\\C:\\deep\\", 7},
        {"\\\\?\\UNC\\server\\share\\x", 21},
        {"\\\\?\\unc\\server\\share", 20},
        {"\\\\?\\Volume{1}\\x", 14},
        {"\\\\.\\PhysicalDrive0", 18},
    };
    for (const auto& [path, length] : cases) {
        EXPECT_EQ(platform::windowsRootLength(path), length) << path;
    }
}

// Roots keep their separator; everything else loses one.
TEST(WindowsPathRules, TrailingSeparatorsOfRootsStay) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"C:\\", "C:\\"},
        {"C:\\Windows\\", "C:\\Windows"},
        {"\\\\server\\share\\", "\\\\server\\share\\"},
        {"\\\\server\\share\\folder\\", "\\\\server\\share\\folder"},
        {"\\", "\\"},
        {"relative\\", "relative"},
        {"C:", "C:"},
    };
    for (const auto& [path, without] : cases) {
        EXPECT_EQ(withoutTrailingSeparator(path), without) << path;
    }
    EXPECT_EQ(withTrailingSeparator("C:"), "C:\\");
    EXPECT_EQ(withTrailingSeparator("C:\\"), "C:\\");
    EXPECT_TRUE(isDirectory("C:\\"));
    EXPECT_TRUE(pathExists("C:\\"));
}

TEST(WindowsPathRules, LongPathsArePrefixedAndShownWithout) {
    const std::vector<std::pair<std::string, std::wstring>> cases{
        {"C:\\a\\b", L"\\\\?\\C:\\a\\b"},
        {"C:/a/./c/../b", L"\\\\?\\C:\\a\\b"},
        {"C:\\a\\", L"\\\\?\\C:\\a\\"},
        {"\\\\server\\share\\x", L"\\\\?\\UNC\\server\\share\\x"},
        {"\\\\?\\C:\\a\\..\\kept", L"\\\\?\\C:\\a\\..\\kept"},
        {"", L""},
        // Names the system's own reading would respell stay as the listing gave them.
        {"C:\\a\\x.", L"\\\\?\\C:\\a\\x."},
        {"C:\\a\\sub.\\CON", L"\\\\?\\C:\\a\\sub.\\CON"},
        {"C:\\space \\nul.txt", L"\\\\?\\C:\\space \\nul.txt"},
        {"C:\\a\\dots...\\", L"\\\\?\\C:\\a\\dots...\\"},
        {"\\\\server\\share\\COM1.", L"\\\\?\\UNC\\server\\share\\COM1."},
        {"C:\\a\\\\b\\..\\..\\..\\aux.log", L"\\\\?\\C:\\aux.log"},
        {"C:\\a\\.", L"\\\\?\\C:\\a"},
    };
    for (const auto& [path, expected] : cases) {
        const std::wstring made = platform::longPath(path);
        EXPECT_EQ(made, expected) << path;
        if (!path.empty() && !path.starts_with("\\\\?\\")) {
            EXPECT_EQ(platform::longPath(platform::withoutLongPrefix(made)), made) << path;
        }
    }
    // Relative paths start at the current folder, and keep their names too.
    const std::wstring current = platform::longPath(".");
    ASSERT_TRUE(current.starts_with(L"\\\\?\\")) << platform::fromWide(current);
    EXPECT_EQ(platform::longPath("sub.\\PRN"), current + L"\\sub.\\PRN");
    EXPECT_EQ(platform::longPath(current.substr(4, 2) + L"x "), current + L"\\x ");
    EXPECT_EQ(platform::withoutLongPrefix(L"\\\\?\\UNC\\server\\share"), L"\\\\server\\share");
    EXPECT_EQ(platform::withoutLongPrefix(L"\\\\?\\C:\\x"), L"C:\\x");
}

}  // namespace
}  // namespace quillfen
