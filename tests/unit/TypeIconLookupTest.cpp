#include "results/TypeIconLookup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/Application.h"
#include "platform/Platform.h"
#include "results/IcoFile.h"
#include "support/PlatformOverlay.h"
#include "support/TemporaryFolder.h"
#include "support/ThemeFileTypes.h"

namespace quillfen {
namespace {

using platform::IconLocation;

// A made-up desktop that counts the questions it is asked. Files with the extension ".desktop"
// name their own icon, as the file at a path in ownIcons does.
class CountingFileTypes : public test::ThemeFileTypes {
public:
    std::string typeNameForExtension(const std::string& extension) const override {
        ++typeQuestions[extension];
        return ThemeFileTypes::typeNameForExtension(extension);
    }
    IconLocation extensionIcon(const std::string& extension) const override {
        ++iconQuestions[extension];
        return ThemeFileTypes::extensionIcon(extension);
    }
    std::string folderTypeName(const std::string& folderPath) const override {
        ++folderQuestions;
        return ThemeFileTypes::folderTypeName(folderPath);
    }
    IconLocation folderIcon() const override { return folder; }
    IconLocation fallbackIcon() const override { return fallback; }

    IconLocation folder = ThemeFileTypes::folderIcon();
    IconLocation fallback = ThemeFileTypes::fallbackIcon();
    mutable std::map<std::string, int> typeQuestions;
    mutable std::map<std::string, int> iconQuestions;
    mutable int folderQuestions = 0;
};

using TypeAndIcon = TypeIconLookup::TypeAndIcon;

const std::string kIcon = IcoFile::fromPng("\x89PNG\r\n\x1a\n-own", 32, 32);

class TypeIconLookupTest : public testing::Test {
protected:
    TypeIconLookupTest() {
        types.icons = {{".txt", IconLocation::themeName("text-plain", "kind of text-plain")},
                       {".bin", IconLocation::themeName(test::ThemeFileTypes::kUnknownIconName)}};
        // The file reader knows icons by their bytes, not their names, so icon-file bytes stand
        // in for a program's resources here; reading real programs is PeIconReader's part.
        folder.writeFile("run.exe", kIcon);
        folder.writeFile("bare.exe", "MZ no resources");
        folder.writeFile("pic.ico", kIcon);
        folder.writeFile("app.desktop", "[Desktop Entry]\nIcon=firefox\n");
        folder.writeFile("plain.desktop", "[Desktop Entry]\nName=plain\n");
        types.ownIcons = {{folder / "app.desktop", "firefox"}};
        folder.writeFile("types.ico", kIcon);
        folder.writeFile("broken.ico", "not an icon");
    }
    ~TypeIconLookupTest() override { Application::instance().showSelfIcon = savedShowSelfIcon; }

    TypeAndIcon lookup(const std::string& name) { return typeIcons.lookupTypeAndIcon(name, where); }
    IconSource sourceOf(const TypeAndIcon& found) const {
        const auto source = images.source(found.imageIndex);
        return source != nullptr ? *source : IconSource::themeName("(no image)");
    }
    void showSelfIcon(bool on) { Application::instance().showSelfIcon = on; }

    const bool savedShowSelfIcon = Application::instance().showSelfIcon;
    CountingFileTypes types;
    test::PlatformOverlay platform{types};
    test::TemporaryFolder folder;
    const char separator = platform::currentPlatform().files().separator();
    const std::string where = folder.path() + separator;
    FolderTypeText folderText;
    IconImageList images;
    TypeIconLookup typeIcons{folderText, images};
};

TEST_F(TypeIconLookupTest, OneExtensionInAnyCaseSharesOneEntryAndOneImage) {
    const TypeAndIcon first = lookup("a.TXT");
    EXPECT_EQ(first, (TypeAndIcon{"type of .txt", 0}));
    EXPECT_EQ(lookup("b.txt"), first);
    EXPECT_EQ(lookup("archive.tar.txt"), first);
    EXPECT_EQ(types.typeQuestions[".txt"], 1);
    EXPECT_EQ(types.iconQuestions[".txt"], 1);
    EXPECT_EQ(images.size(), 1u);
    EXPECT_EQ(sourceOf(first), IconSource::themeName("text-plain", "kind of text-plain"));
}

struct IconCase {
    const char* what;
    const char* name;
    bool showSelfIcon;
    IconSource expected;
};

TEST_F(TypeIconLookupTest, IconsAndTheirFallBacks) {
    const IconSource unknown = IconSource::themeName(test::ThemeFileTypes::kUnknownIconName);
    const IconSource program = IconSource::themeName(test::ThemeFileTypes::kProgramIconName);
    const std::vector<IconCase> cases = {
        {"name without a point, type without icon", "Makefile", false, unknown},
        {"extension the desktop does not know", "notes.qqq", false, unknown},
        {"program, own icons off", "run.exe", false, program},
        {"program, own icons on", "run.exe", true, IconSource::icoBytes(kIcon)},
        {"program without icons", "bare.exe", true, program},
        {"program that is not there", "gone.exe", true, program},
        {"icon file, own icons on", "pic.ico", true, IconSource::icoBytes(kIcon)},
        {"desktop entry, own icons on", "app.desktop", true, IconSource::themeName("firefox")},
        {"desktop entry without icon", "plain.desktop", true, unknown},
    };
    for (const IconCase& c : cases) {
        showSelfIcon(c.showSelfIcon);
        EXPECT_EQ(sourceOf(lookup(c.name)), c.expected) << c.what;
    }
}

TEST_F(TypeIconLookupTest, TheUnknownIconIsAddedOnceWhicheverPathLedToIt) {
    showSelfIcon(false);
    const int unknown = lookup("Makefile").imageIndex;
    EXPECT_EQ(lookup("README").imageIndex, unknown);
    EXPECT_EQ(lookup("pic.ico").imageIndex, unknown);
    EXPECT_EQ(lookup("data.bin").imageIndex, unknown);
    showSelfIcon(true);
    EXPECT_EQ(lookup("plain.desktop").imageIndex, unknown);
    EXPECT_EQ(images.size(), 1u);
    // Types without an icon are not remembered per extension.
    EXPECT_EQ(types.iconQuestions[""], 2);
    EXPECT_EQ(types.typeQuestions[""], 1);
}

TEST_F(TypeIconLookupTest, TurningOwnIconsOnOrOffAppliesToTheNextRow) {
    showSelfIcon(false);
    const int generic = lookup("run.exe").imageIndex;
    showSelfIcon(true);
    const int own = lookup("run.exe").imageIndex;
    EXPECT_NE(own, generic);
    EXPECT_EQ(lookup("run.exe").imageIndex, own);
    showSelfIcon(false);
    EXPECT_EQ(lookup("run.exe").imageIndex, generic);
    EXPECT_EQ(images.size(), 2u);
    // Each such file is its own image, found by its path.
    showSelfIcon(true);
    folder.writeFile("copy.exe", kIcon);
    EXPECT_EQ(lookup("copy.exe").imageIndex, 2);
    EXPECT_EQ(images.indexOfKey(where + "copy.exe,0"), 2);
}

TEST_F(TypeIconLookupTest, FoldersShareTheFirstFoldersTypeTextAndOneIcon) {
    std::filesystem::create_directory(folder / "src");
    const TypeAndIcon first = lookup("src" + std::string(1, separator));
    EXPECT_EQ(first, (TypeAndIcon{"File folder", 0}));
    EXPECT_EQ(lookup("docs" + std::string(1, separator)), first);
    EXPECT_EQ(lookup("no.point" + std::string(1, separator)), first);
    EXPECT_EQ(types.folderQuestions, 1);
    EXPECT_EQ(images.size(), 1u);
    EXPECT_EQ(sourceOf(first), IconSource::themeName("folder"));
}

// Desktops that keep icons inside files (icon number so-and-so of a library) name one image per
// file and index, whichever extensions share it.
TEST_F(TypeIconLookupTest, IconsInsideFilesAreKeptPerFileAndIndex) {
    types.icons[".doc"] = IconLocation::fileIcon(folder / "types.ico", 0);
    types.icons[".rtf"] = IconLocation::fileIcon(folder / "types.ico", 0);
    types.folder = IconLocation::fileIcon(folder / "types.ico", 0);
    const int doc = lookup("a.doc").imageIndex;
    EXPECT_EQ(doc, 0);
    EXPECT_EQ(lookup("b.rtf").imageIndex, doc);
    EXPECT_EQ(lookup("sub" + std::string(1, separator)).imageIndex, doc);
    EXPECT_EQ(images.indexOfKey(where + "types.ico,0"), doc);
    EXPECT_EQ(sourceOf(lookup("c.doc")), IconSource::icoBytes(kIcon));
    EXPECT_EQ(types.iconQuestions[".doc"], 1);
    EXPECT_EQ(images.size(), 1u);
}

struct FallBackCase {
    const char* what;
    IconLocation registered;
    IconLocation fallback;
    int expectedIndex;
};

// A registered icon that cannot be had gives the desktop's icon for unknown types, kept for the
// extension even when that one is missing too, so the registry is read once per extension.
TEST_F(TypeIconLookupTest, ARegisteredIconThatCannotBeHadFallsBackOnce) {
    const std::vector<FallBackCase> cases = {
        {"file without that icon", IconLocation::fileIcon(folder / "types.ico", 3),
         IconLocation::fileIcon(folder / "types.ico", 0), 0},
        {"file that is no icon", IconLocation::fileIcon(folder / "broken.ico", 0),
         IconLocation::fileIcon(folder / "types.ico", 0), 0},
        {"missing file, missing fall-back", IconLocation::fileIcon(folder / "gone.dll", -2),
         IconLocation::fileIcon(folder / "gone.dll", 0), -1},
    };
    for (const FallBackCase& c : cases) {
        CountingFileTypes caseTypes;
        caseTypes.icons[".doc"] = c.registered;
        caseTypes.fallback = c.fallback;
        const test::PlatformOverlay overlay(caseTypes);
        IconImageList caseImages;
        TypeIconLookup caseLookup(folderText, caseImages);
        EXPECT_EQ(caseLookup.lookupTypeAndIcon("a.doc", where).imageIndex, c.expectedIndex)
            << c.what;
        EXPECT_EQ(caseLookup.lookupTypeAndIcon("b.doc", where).imageIndex, c.expectedIndex)
            << c.what;
        EXPECT_EQ(caseTypes.iconQuestions[".doc"], 1) << c.what;
    }
}

}  // namespace
}  // namespace quillfen
