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
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

// A file-type database with made-up answers that counts the questions it is asked. Files with the
// extension ".desktop" name their own icon, as the file at a path in ownIcons does.
class CountingFileTypes : public platform::FileTypes {
public:
    std::string typeNameForExtension(const std::string& extension) const override {
        ++typeQuestions[extension];
        return "type of " + extension;
    }
    std::string iconNameForExtension(const std::string& extension) const override {
        ++iconQuestions[extension];
        const auto known = iconNames.find(extension);
        return known == iconNames.end() ? std::string() : known->second;
    }
    std::string genericIconNameForExtension(const std::string& extension) const override {
        const auto known = iconNames.find(extension);
        return known == iconNames.end() ? std::string() : "kind of " + known->second;
    }
    std::string folderTypeName(const std::string&) const override {
        ++folderQuestions;
        return "File folder";
    }
    bool namesOwnIcon(const std::string& extension) const override {
        return extension == ".desktop";
    }
    std::optional<platform::NamedIcon> iconNamedBy(const std::string& path) const override {
        const auto known = ownIcons.find(path);
        return known == ownIcons.end() ? std::nullopt
                                       : std::optional(platform::NamedIcon{
                                             platform::NamedIcon::Kind::ThemeName, known->second});
    }

    std::map<std::string, std::string> iconNames;
    mutable std::map<std::string, int> typeQuestions;
    mutable std::map<std::string, int> iconQuestions;
    std::map<std::string, std::string> ownIcons;
    mutable int folderQuestions = 0;
};

// The installed platform with the made-up file types, for the lifetime of the object.
class FileTypesPlatform : public platform::Platform {
public:
    explicit FileTypesPlatform(platform::FileTypes& types)
        : base_(platform::currentPlatform()), types_(types) {
        platform::installPlatform(this);
    }
    FileTypesPlatform(const FileTypesPlatform&) = delete;
    FileTypesPlatform& operator=(const FileTypesPlatform&) = delete;
    ~FileTypesPlatform() override { platform::installPlatform(&base_); }

    platform::FileSystem& files() override { return base_.files(); }
    platform::ProcessLauncher& processes() override { return base_.processes(); }
    platform::SystemInfo& system() override { return base_.system(); }
    platform::TextServices& text() override { return base_.text(); }
    platform::Clock& clock() override { return base_.clock(); }
    platform::Volumes& volumes() override { return base_.volumes(); }
    platform::FileTypes& fileTypes() override { return types_; }
    platform::HttpClient& http() override { return base_.http(); }
    platform::ProgramResources& resources() override { return base_.resources(); }
    platform::DiskIdentity& disks() override { return base_.disks(); }
    platform::Digests& digests() override { return base_.digests(); }

private:
    platform::Platform& base_;
    platform::FileTypes& types_;
};

using TypeAndIcon = TypeIconLookup::TypeAndIcon;

const std::string kIcon = IcoFile::fromPng("\x89PNG\r\n\x1a\n-own", 32, 32);

class TypeIconLookupTest : public testing::Test {
protected:
    TypeIconLookupTest() {
        types.iconNames = {{".txt", "text-plain"},
                           {".bin", IconImageList::kUnknownTypeIconName},
                           {".exe", "application-x-ms-dos-executable"},
                           {".ico", "image-vnd.microsoft.icon"},
                           {".desktop", "application-x-desktop"}};
        // The file reader knows icons by their bytes, not their names, so icon-file bytes stand
        // in for a program's resources here; reading real programs is PeIconReader's part.
        folder.writeFile("run.exe", kIcon);
        folder.writeFile("bare.exe", "MZ no resources");
        folder.writeFile("pic.ico", kIcon);
        folder.writeFile("app.desktop", "[Desktop Entry]\nIcon=firefox\n");
        folder.writeFile("plain.desktop", "[Desktop Entry]\nName=plain\n");
        types.ownIcons = {{folder / "app.desktop", "firefox"}};
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
    FileTypesPlatform platform{types};
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
    const IconSource unknown = IconSource::themeName(IconImageList::kUnknownTypeIconName);
    const IconSource program = IconSource::themeName(IconImageList::kGenericProgramIconName);
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

}  // namespace
}  // namespace quillfen
