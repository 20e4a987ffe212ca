#include "results/IconImageList.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "results/IcoFile.h"
#include "support/PlatformOverlay.h"
#include "support/TemporaryFolder.h"
#include "support/ThemeFileTypes.h"

namespace quillfen {
namespace {

const std::string kIcon = IcoFile::fromPng("\x89PNG\r\n\x1a\n-pixels", 16, 16);

using platform::IconLocation;

TEST(IconImageList, EachSourceIsAddedOnceAndTheFixedKeysReuseThemeImages) {
    test::ThemeFileTypes types;
    const test::PlatformOverlay overlay(types);
    IconImageList icons;
    const int text = icons.addThemeIcon("text-plain");
    EXPECT_EQ(icons.addThemeIcon("text-plain"), text);
    const int unknown = icons.addThemeIcon(test::ThemeFileTypes::kUnknownIconName);
    EXPECT_EQ(icons.unknownTypeIcon(), unknown);
    const int program = icons.genericExeIcon();
    EXPECT_EQ(icons.addThemeIcon(test::ThemeFileTypes::kProgramIconName), program);
    EXPECT_EQ(icons.indexOfKey(".Exe,0"), program);
    EXPECT_EQ(icons.indexOfKey("Unknown,0"), unknown);
    EXPECT_EQ(icons.indexOfKey("Folder"), -1);
    EXPECT_EQ(icons.size(), 3u);
    EXPECT_EQ(icons.source(3), nullptr);
}

struct FileIconCase {
    const char* what;
    const char* name;
    std::string contents;
    int index;
    std::optional<IconSource> expected;
};

TEST(IconImageList, FilesGiveTheIconTheyCarry) {
    test::ThemeFileTypes types;
    const test::PlatformOverlay overlay(types);
    const test::TemporaryFolder folder;
    std::string tooManyEntries = kIcon;
    tooManyEntries[4] = 9;
    const std::vector<FileIconCase> cases = {
        {"icon file", "a.ico", kIcon, 0, IconSource::icoBytes(kIcon)},
        {"icon file has icon 0 only", "b.ico", kIcon, 1, std::nullopt},
        {"icon file with a bad directory", "c.ico", tooManyEntries, 0, std::nullopt},
        {"DOS program", "g.exe", "MZ" + std::string(200, '\0'), 0, std::nullopt},
        {"empty file", "h.exe", "", 0, std::nullopt},
        {"entry text in another type", "i.txt", "[Desktop Entry]\nIcon=gimp\n", 0, std::nullopt},
        {"a folder", "", "", 0, std::nullopt},
    };
    for (const FileIconCase& c : cases) {
        if (*c.name != '\0') {
            folder.writeFile(c.name, c.contents);
        }
        IconImageList icons;
        const int index = icons.addIconFromFile(folder / c.name, c.index);
        EXPECT_EQ(index, c.expected ? 0 : -1) << c.what;
        if (c.expected && index == 0) {
            EXPECT_EQ(*icons.source(0), *c.expected) << c.what;
        }
    }
    EXPECT_EQ(IconImageList().addIconFromFile(folder / "missing.ico", 0), -1);
}

TEST(IconImageList, AFailureIsAskedAgainButAFoundIconIsKept) {
    test::ThemeFileTypes types;
    const test::PlatformOverlay overlay(types);
    const test::TemporaryFolder folder;
    folder.writeFile("late.ico", "not yet");
    IconImageList icons;
    EXPECT_EQ(icons.addIconFromFile(folder / "late.ico", 0), -1);
    folder.writeFile("late.ico", kIcon);
    EXPECT_EQ(icons.addIconFromFile(folder / "late.ico", 0), 0);
    folder.writeFile("late.ico", "gone again");
    EXPECT_EQ(icons.addIconFromFile(folder / "late.ico", 0), 0);
    EXPECT_EQ(icons.indexOfKey(folder / "late.ico,0"), 0);
}

// A desktop whose fixed icons lie inside files, or that hands the program icon out itself, as
// Windows does.
class FileIconTypes final : public test::ThemeFileTypes {
public:
    IconLocation unknownTypeIcon() const override { return unknown; }
    IconLocation genericProgramIcon() const override {
        ++programQuestions;
        return program;
    }

    IconLocation unknown;
    IconLocation program;
    mutable int programQuestions = 0;
};

TEST(IconImageList, FixedIconsInsideFilesOrHandedOutAreKeptUnderBothKeys) {
    const test::TemporaryFolder folder;
    folder.writeFile("types.ico", kIcon);
    FileIconTypes types;
    types.unknown = IconLocation::fileIcon(folder / "types.ico", 0);
    types.program = IconLocation::icoBytes(kIcon + "program");
    const test::PlatformOverlay overlay(types);
    IconImageList icons;
    EXPECT_EQ(icons.unknownTypeIcon(), 0);
    EXPECT_EQ(icons.addIcon(IconLocation::fileIcon(folder / "types.ico", 0)), 0);
    EXPECT_EQ(icons.indexOfKey(folder / "types.ico,0"), 0);
    EXPECT_EQ(icons.genericExeIcon(), 1);
    EXPECT_EQ(icons.genericExeIcon(), 1);
    EXPECT_EQ(types.programQuestions, 1);
    EXPECT_EQ(*icons.source(1), IconSource::icoBytes(kIcon + "program"));
    EXPECT_EQ(icons.size(), 2u);
}

TEST(IconImageList, LocationsThatOnlyAFileCanTellGiveNoImage) {
    test::ThemeFileTypes types;
    const test::PlatformOverlay overlay(types);
    IconImageList icons;
    for (const IconLocation& location :
         {IconLocation::none(), IconLocation::filesOwn(), IconLocation::icoBytes(kIcon),
          IconLocation::themeName("")}) {
        EXPECT_EQ(icons.addIcon(location), -1);
    }
    EXPECT_EQ(icons.size(), 0u);
}

// A desktop without an unknown-type icon is asked once, not on every row.
TEST(IconImageList, AMissingFixedIconIsRememberedAsMissing) {
    FileIconTypes types;
    types.unknown = IconLocation::fileIcon("missing.dll", 0);
    types.program = IconLocation::none();
    const test::PlatformOverlay overlay(types);
    IconImageList icons;
    EXPECT_EQ(icons.unknownTypeIcon(), -1);
    EXPECT_EQ(icons.genericExeIcon(), -1);
    EXPECT_EQ(icons.genericExeIcon(), -1);
    EXPECT_EQ(types.programQuestions, 1);
    EXPECT_EQ(icons.size(), 0u);
}

// The search worker adds while the user-interface thread reads every image it has been told of.
TEST(IconImageList, ReadersSeeEveryAddedSourceWhileTheListGrows) {
    IconImageList icons;
    constexpr std::size_t kCount = 3000;
    std::thread worker([&] {
        for (std::size_t i = 0; i < kCount; ++i) {
            icons.addThemeIcon("icon-" + std::to_string(i));
        }
    });
    bool consistent = true;
    for (std::size_t seen = 0; seen < kCount; std::this_thread::yield()) {
        for (const std::size_t size = icons.size(); seen < size; ++seen) {
            const auto source = icons.source(static_cast<int>(seen));
            consistent = consistent && source && source->data() == "icon-" + std::to_string(seen);
        }
    }
    worker.join();
    EXPECT_TRUE(consistent);
}

}  // namespace
}  // namespace quillfen
