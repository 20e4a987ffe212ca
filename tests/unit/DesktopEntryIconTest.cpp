#include "platform/linux/DesktopEntryIcon.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillfen::platform {
namespace {

NamedIcon themeName(std::string name) {
    return {NamedIcon::Kind::ThemeName, std::move(name)};
}

NamedIcon imageFile(std::string path) {
    return {NamedIcon::Kind::ImageFile, std::move(path)};
}

struct DesktopCase {
    const char* what;
    std::string text;
    std::optional<NamedIcon> expected;
};

TEST(DesktopEntryIcon, ReadsTheMainGroupsIconKey) {
    const std::vector<DesktopCase> cases = {
        {"absolute path", "[Desktop Entry]\r\nIcon = /opt/a.png\r\n", imageFile("/opt/a.png")},
        {"name with an image extension", "[Desktop Entry]\nIcon=app.svg", themeName("app")},
        {"escaped blank", "[Desktop Entry]\nIcon=/opt/my\\sapp.png", imageFile("/opt/my app.png")},
        {"translated and longer keys", "[Desktop Entry]\nIcon[de]=de\nIcons=no\nIcon=main",
         themeName("main")},
        {"another group", "[Desktop Action New]\nIcon=action\n[Desktop Entry]\n", std::nullopt},
        {"outside any group", "Icon=stray\n[Desktop Entry]\n", std::nullopt},
        {"empty value or comment", "[Desktop Entry]\nIcon=\n# Icon=x\n", std::nullopt},
    };
    for (const DesktopCase& c : cases) {
        EXPECT_EQ(DesktopEntryIcon::fromText(c.text), c.expected) << c.what;
    }
}

TEST(DesktopEntryIcon, KnowsEntriesByTheirExtensionInAnyCase) {
    const struct {
        const char* path;
        bool entry;
    } cases[] = {
        {"/a/b.desktop", true},   {"/a/b.DeskTop", true}, {".desktop", false},
        {"/a/b.desktop~", false}, {"/a/desktop", false},  {"/a/b.desktop.txt", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DesktopEntryIcon::isEntryPath(c.path), c.entry) << c.path;
    }
}

}  // namespace
}  // namespace quillfen::platform
