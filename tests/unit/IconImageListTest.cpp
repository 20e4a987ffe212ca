#include "results/IconImageList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "results/DesktopEntryIcon.h"
#include "results/IcoFile.h"
#include "results/StringIndexMap.h"
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

const std::string kIcon = IcoFile::fromPng("\x89PNG\r\n\x1a\n-pixels", 16, 16);

TEST(StringIndexMap, AbsentKeysGiveMinusOneAndSetIfAbsentKeepsTheFirst) {
    StringIndexMap map;
    EXPECT_EQ(map.lookup(".txt"), -1);
    map.set(".txt", 4);
    map.set(".txt", 5);
    EXPECT_EQ(map.lookup(".txt"), 5);
    EXPECT_EQ(map.lookup(".TXT"), -1);
    EXPECT_EQ(map.setIfAbsent(".txt", 9), 5);
    EXPECT_EQ(map.setIfAbsent("Folder", -1), -1);
    EXPECT_TRUE(map.contains("Folder"));
    EXPECT_FALSE(map.contains(""));
}

TEST(IconImageList, EachSourceIsAddedOnceAndTheFixedKeysReuseThemeImages) {
    IconImageList icons;
    const int text = icons.addThemeIcon("text-plain");
    EXPECT_EQ(icons.addThemeIcon("text-plain"), text);
    const int unknownByName = icons.addThemeIcon(IconImageList::kUnknownTypeIconName);
    EXPECT_EQ(icons.unknownTypeIcon(), unknownByName);
    const int program = icons.genericExeIcon();
    EXPECT_EQ(icons.genericExeIcon(), program);
    EXPECT_EQ(icons.addThemeIcon(IconImageList::kGenericProgramIconName), program);
    EXPECT_EQ(icons.indexOfKey(IconImageList::kGenericProgramKey), program);
    EXPECT_EQ(icons.indexOfKey(IconImageList::kUnknownTypeKey), unknownByName);
    EXPECT_EQ(icons.size(), 3u);
    EXPECT_EQ(*icons.source(program), IconSource::themeName("application-x-executable"));
    EXPECT_EQ(icons.addThemeIcon(""), -1);
    EXPECT_EQ(icons.source(-1), nullptr);
    EXPECT_EQ(icons.source(3), nullptr);
}

struct FileIconCase {
    const char* what;
    const char* name;
    std::string contents;
    int index;
    // With "@" standing for the test folder; nullopt when the file gives no icon.
    std::optional<IconSource> expected;
};

TEST(IconImageList, FilesGiveTheIconTheyCarry) {
    const test::TemporaryFolder folder;
    folder.writeFile("picture.png", "\x89PNG");
    const std::string picture = folder / "picture.png";
    std::string badIcon = kIcon;
    badIcon[4] = 9;
    const std::vector<FileIconCase> cases = {
        {"icon file", "a.ico", kIcon, 0, IconSource::icoBytes(kIcon)},
        {"icon file by its bytes, whatever its name", "a.bin", kIcon, 0,
         IconSource::icoBytes(kIcon)},
        {"icon file has one icon only", "b.ico", kIcon, 1, std::nullopt},
        {"icon file with too many entries", "c.ico", badIcon, 0, std::nullopt},
        {"desktop entry naming a theme icon", "d.desktop", "[Desktop Entry]\nIcon=firefox\n", 0,
         IconSource::themeName("firefox")},
        {"desktop entry with a capital extension", "e.DESKTOP", "[Desktop Entry]\nIcon=gimp\n", 0,
         IconSource::themeName("gimp")},
        {"desktop entry naming an image", "f.desktop", "[Desktop Entry]\nIcon=" + picture + "\n", 0,
         IconSource::imageFile(picture)},
        {"desktop entry naming a missing image", "g.desktop",
         "[Desktop Entry]\nIcon=" + picture + ".gone\n", 0, std::nullopt},
        {"desktop entry without an icon", "h.desktop", "[Desktop Entry]\nName=x\n", 0,
         std::nullopt},
        {"DOS program without resources", "i.exe", "MZ" + std::string(200, '\0'), 0, std::nullopt},
        {"empty file", "j.exe", "", 0, std::nullopt},
        {"text file", "k.txt", "[Desktop Entry]\nIcon=firefox\n", 0, std::nullopt},
    };
    for (const FileIconCase& c : cases) {
        folder.writeFile(c.name, c.contents);
        IconImageList icons;
        const int index = icons.addIconFromFile(folder / c.name, c.index);
        if (!c.expected) {
            EXPECT_EQ(index, -1) << c.what;
            EXPECT_EQ(icons.size(), 0u) << c.what;
            continue;
        }
        ASSERT_EQ(index, 0) << c.what;
        EXPECT_EQ(*icons.source(index), *c.expected) << c.what;
        EXPECT_EQ(icons.indexOfKey(folder / c.name + "," + std::to_string(c.index)), 0) << c.what;
    }
}

TEST(IconImageList, MissingPathsAndFoldersGiveNoIcon) {
    const test::TemporaryFolder folder;
    std::filesystem::create_directory(folder / "sub.ico");
    IconImageList icons;
    EXPECT_EQ(icons.addIconFromFile(folder / "none.exe", 0), -1);
    EXPECT_EQ(icons.addIconFromFile(folder / "sub.ico", 0), -1);
}

TEST(IconImageList, AFailureIsAskedAgainButAFoundIconIsKept) {
    const test::TemporaryFolder folder;
    const std::string path = folder / "late.ico";
    folder.writeFile("late.ico", "not yet");
    IconImageList icons;
    EXPECT_EQ(icons.addIconFromFile(path, 0), -1);
    folder.writeFile("late.ico", kIcon);
    EXPECT_EQ(icons.addIconFromFile(path, 0), 0);
    folder.writeFile("late.ico", "gone again");
    EXPECT_EQ(icons.addIconFromFile(path, 0), 0);
    EXPECT_EQ(*icons.source(0), IconSource::icoBytes(kIcon));
}

// The search worker adds while the user-interface thread reads every image it has been told of.
TEST(IconImageList, ReadersSeeEveryAddedSourceWhileTheListGrows) {
    IconImageList icons;
    constexpr int kCount = 3000;
    std::thread worker([&] {
        for (int i = 0; i < kCount; ++i) {
            icons.addThemeIcon("icon-" + std::to_string(i));
        }
    });
    std::size_t seen = 0;
    bool consistent = true;
    while (seen < kCount) {
        const std::size_t size = icons.size();
        for (; seen < size; ++seen) {
            const auto source = icons.source(static_cast<int>(seen));
            consistent =
                consistent && source != nullptr && source->data() == "icon-" + std::to_string(seen);
        }
        std::this_thread::yield();
    }
    worker.join();
    EXPECT_TRUE(consistent);
    EXPECT_EQ(icons.size(), static_cast<std::size_t>(kCount));
}

struct DesktopCase {
    const char* what;
    std::string text;
    std::optional<IconSource> expected;
};

TEST(IconOfDesktopEntry, ReadsTheMainGroupsIconKey) {
    const std::vector<DesktopCase> cases = {
        {"theme name", "[Desktop Entry]\nName=Edit\nIcon=accessories-text-editor\n",
         IconSource::themeName("accessories-text-editor")},
        {"absolute image path", "[Desktop Entry]\r\nIcon = /opt/app/app.png\r\n",
         IconSource::imageFile("/opt/app/app.png")},
        {"name with an image extension", "[Desktop Entry]\nIcon=app.svg\n",
         IconSource::themeName("app")},
        {"escaped blank", "[Desktop Entry]\nIcon=/opt/my\\sapp/a.png\n",
         IconSource::imageFile("/opt/my app/a.png")},
        {"translated keys are not the icon",
         "[Desktop Entry]\nIcon[de]=de-icon\nIcons=no\nIcon=main\n", IconSource::themeName("main")},
        {"other groups are not the entry",
         "[Desktop Action New]\nIcon=action\n[Desktop Entry]\nName=x\n", std::nullopt},
        {"key outside any group", "Icon=stray\n[Desktop Entry]\n", std::nullopt},
        {"empty value", "[Desktop Entry]\nIcon=\n", std::nullopt},
        {"comment", "[Desktop Entry]\n# Icon=commented\n", std::nullopt},
        {"no text", "", std::nullopt},
    };
    for (const DesktopCase& c : cases) {
        EXPECT_EQ(DesktopEntryIcon::fromText(c.text), c.expected) << c.what;
    }
}

}  // namespace
}  // namespace quillfen
