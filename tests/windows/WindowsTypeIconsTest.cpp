// clang-format off
#include <windows.h>
// clang-format on

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "IconMaker.h"
#include "ScratchFolder.h"
#include "app/Application.h"
#include "platform/windows/DefaultIconEntry.h"
#include "platform/windows/IcoEncoder.h"
#include "platform/windows/ShellIcons.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsFileTypes.h"
#include "results/TypeIconLookup.h"

namespace quillfen::platform {
namespace {

using test::ScratchFolder;

const std::string kShell32 = "%SystemRoot%\\System32\\shell32.dll";

// Test classes, for the lifetime of the object. They go where HKEY_CLASSES_ROOT reads them: the
// user's classes, which Windows merges over the machine's; Wine's HKEY_CLASSES_ROOT is the
// machine's classes alone, which its prefix lets anyone write. The keys it created are removed
// afterwards and the values it overwrote restored, so the prefix keeps its own associations.
class TestClasses {
public:
    TestClasses() : root_(userClassesAreMerged() ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE) {}
    TestClasses(const TestClasses&) = delete;
    TestClasses& operator=(const TestClasses&) = delete;
    ~TestClasses() {
        for (auto key = created_.rbegin(); key != created_.rend(); ++key) {
            RegDeleteTreeW(root_, key->c_str());
        }
        for (auto value = overwritten_.rbegin(); value != overwritten_.rend(); ++value) {
            setDefaultValue(root_, value->first, value->second);
        }
    }

    // Sets the default value of the key below the classes, as "txtfile\DefaultIcon".
    void setDefault(const std::string& keyPath, const std::string& value) {
        std::wstring path = kClasses;
        bool missingAbove = false;
        for (const std::wstring& level : levelsOf(toWide(keyPath))) {
            path += L"\\" + level;
            if (!missingAbove && !exists(root_, path)) {
                created_.push_back(path);
                missingAbove = true;
            }
        }
        if (!missingAbove) {
            if (const auto previous = defaultValue(root_, path)) {
                overwritten_.emplace_back(path, *previous);
            }
        }
        ASSERT_TRUE(setDefaultValue(root_, path, toWide(value))) << keyPath;
    }

private:
    static constexpr const wchar_t* kClasses = L"Software\\Classes";

    static bool setDefaultValue(HKEY root, const std::wstring& path, const std::wstring& value) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            return false;
        }
        const LONG result =
            RegSetValueExW(key, L"", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
        return result == ERROR_SUCCESS;
    }
    static std::optional<std::wstring> defaultValue(HKEY root, const std::wstring& path) {
        wchar_t value[1024] = {};
        DWORD size = sizeof value - sizeof(wchar_t);
        if (RegGetValueW(root, path.c_str(), L"",
                         RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value,
                         &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return std::wstring(value);
    }
    static bool userClassesAreMerged() {
        const std::wstring probe = std::wstring(kClasses) + L"\\.quillfenMergeProbe";
        setDefaultValue(HKEY_CURRENT_USER, probe, L"probe");
        const bool merged = exists(HKEY_CLASSES_ROOT, L".quillfenMergeProbe");
        RegDeleteTreeW(HKEY_CURRENT_USER, probe.c_str());
        return merged;
    }
    static std::vector<std::wstring> levelsOf(const std::wstring& keyPath) {
        std::vector<std::wstring> levels;
        std::size_t start = 0;
        for (std::size_t end; (end = keyPath.find(L'\\', start)) != std::wstring::npos;
             start = end + 1) {
            levels.push_back(keyPath.substr(start, end - start));
        }
        levels.push_back(keyPath.substr(start));
        return levels;
    }
    static bool exists(HKEY root, const std::wstring& path) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }

    HKEY root_;
    std::vector<std::wstring> created_;
    std::vector<std::pair<std::wstring, std::wstring>> overwritten_;
};

struct EntryCase {
    const char* entry;
    IconLocation expected;
};

TEST(DefaultIconEntry, SplitsAtTheLastCommaAndReadsTheLeadingNumber) {
    const std::vector<EntryCase> cases = {
        {"C:\\Windows\\System32\\shell32.dll,3",
         IconLocation::fileIcon("C:\\Windows\\System32\\shell32.dll", 3)},
        {"C:\\Windows\\System32\\imageres.dll,-2",
         IconLocation::fileIcon("C:\\Windows\\System32\\imageres.dll", -2)},
        {"C:\\a,b\\lib.dll, +7 icons", IconLocation::fileIcon("C:\\a,b\\lib.dll", 7)},
        {"\"C:\\Pro gram\\app.exe\",1", IconLocation::fileIcon("\"C:\\Pro gram\\app.exe\"", 1)},
        {"%SystemRoot%\\notepad.exe", IconLocation::fileIcon("%SystemRoot%\\notepad.exe", 0)},
        {"lib.dll,", IconLocation::fileIcon("lib.dll", 0)},
        {"lib.dll,-", IconLocation::fileIcon("lib.dll", 0)},
        {"lib.dll,x5", IconLocation::fileIcon("lib.dll", 0)},
        {"lib.dll,99999999999", IconLocation::fileIcon("lib.dll", INT_MAX)},
        {"%1", IconLocation::filesOwn()},
        {"\"%1\"", IconLocation::fileIcon("\"%1\"", 0)},
        {"", IconLocation::none()},
    };
    for (const EntryCase& c : cases) {
        EXPECT_EQ(DefaultIconEntry::parse(c.entry), c.expected) << c.entry;
    }
}

struct ExtractCase {
    const char* what;
    std::string file;
    int index;
    bool found;
};

TEST(ShellIcons, ExtractsByIndexOrResourceIdentifierFromWhereRegistryEntriesPoint) {
    const ScratchFolder scratch;
    const std::string icoFile = scratch.path() + "with blank.ico";
    ASSERT_TRUE(ScratchFolder::writeFile(icoFile, test::colorIconFile(32)));
    ASSERT_TRUE(ScratchFolder::writeFile(scratch.path() + "plain.txt", "text"));
    const std::vector<ExtractCase> cases = {
        {"library by index, system root unexpanded", kShell32, 0, true},
        {"library by resource identifier", kShell32, -4, true},
        {"resource identifier 1", kShell32, -1, true},
        {"identifier the library lacks", kShell32, -9999, false},
        {"index the library lacks", kShell32, 99999, false},
        {"icon file with a blank, quoted", "\"" + icoFile + "\"", 0, true},
        {"icon file has icon 0 only", icoFile, 1, false},
        {"text file", scratch.path() + "plain.txt", 0, false},
        {"missing file", scratch.path() + "gone.dll", 0, false},
        {"no file", "", 0, false},
    };
    for (const ExtractCase& c : cases) {
        const auto icon = ShellIcons::extract(c.file, c.index);
        EXPECT_EQ(icon.has_value(), c.found) << c.what;
        if (icon) {
            EXPECT_EQ(LookupIconIdFromDirectoryEx(
                          reinterpret_cast<BYTE*>(const_cast<char*>(icon->data())), TRUE, 0, 0,
                          LR_DEFAULTCOLOR),
                      static_cast<int>(IcoEncoder::kImageOffset))
                << c.what;
        }
    }
    EXPECT_TRUE(ShellIcons::genericProgram().has_value());
}

// The lookup of the result lists over the real registry and shell, with test classes of the user.
class WindowsTypeIconsTest : public testing::Test {
protected:
    ~WindowsTypeIconsTest() override { Application::instance().showSelfIcon = savedShowSelfIcon_; }

    TypeIconLookup::TypeAndIcon lookup(const std::string& name) {
        return typeIcons.lookupTypeAndIcon(name, scratch.path());
    }
    void showSelfIcon(bool on) { Application::instance().showSelfIcon = on; }
    bool isIconFile(int index) const {
        const auto source = images.source(index);
        return source != nullptr && source->kind() == IconSource::Kind::IcoBytes &&
               source->data().size() > IcoEncoder::kImageOffset;
    }

    const bool savedShowSelfIcon_ = Application::instance().showSelfIcon;
    TestClasses classes;
    const ScratchFolder scratch;
    FolderTypeText folderText;
    IconImageList images;
    TypeIconLookup typeIcons{folderText, images};
    const WindowsFileTypes types;
};

TEST_F(WindowsTypeIconsTest, TextFilesShowTheIconOfTheirClassesDefaultIconEntry) {
    classes.setDefault(".txt", "txtfile");
    classes.setDefault("txtfile\\DefaultIcon", kShell32 + ",3");
    EXPECT_EQ(types.extensionIcon(".txt"), IconLocation::fileIcon(kShell32, 3));
    const int text = lookup("a.TXT").imageIndex;
    EXPECT_EQ(text, 0);
    EXPECT_TRUE(isIconFile(text));
    EXPECT_EQ(lookup("b.txt").imageIndex, text);
    EXPECT_EQ(images.indexOfKey(kShell32 + ",3"), text);
    EXPECT_EQ(images.size(), 1u);
}

TEST_F(WindowsTypeIconsTest, AClassWhoseFilesCarryTheirOwnIconFollowsShowSelfIcon) {
    classes.setDefault(".qfnself", "Quillfen.SelfIconTest");
    classes.setDefault("Quillfen.SelfIconTest\\DefaultIcon", "%1");
    ASSERT_TRUE(ScratchFolder::writeFile(scratch.path() + "own.qfnself", test::colorIconFile(32)));
    ASSERT_TRUE(ScratchFolder::writeFile(scratch.path() + "none.qfnself", "no icon here"));
    EXPECT_EQ(types.extensionIcon(".qfnself"), IconLocation::filesOwn());
    showSelfIcon(false);
    const int unknown = lookup("own.qfnself").imageIndex;
    EXPECT_EQ(unknown, images.indexOfKey("Unknown,0"));
    EXPECT_TRUE(isIconFile(unknown));
    showSelfIcon(true);
    const int own = lookup("own.qfnself").imageIndex;
    EXPECT_NE(own, unknown);
    EXPECT_EQ(images.indexOfKey(scratch.path() + "own.qfnself,0"), own);
    EXPECT_TRUE(isIconFile(own));
    EXPECT_EQ(lookup("none.qfnself").imageIndex, unknown);
    // Programs ("%1" too) without icons of their own show the shell's icon of programs.
    ASSERT_TRUE(ScratchFolder::writeFile(scratch.path() + "bare.exe", "MZ without resources"));
    const int program = lookup("bare.exe").imageIndex;
    EXPECT_EQ(program, images.indexOfKey(".Exe,0"));
    EXPECT_TRUE(isIconFile(program));
    showSelfIcon(false);
    EXPECT_EQ(lookup("own.qfnself").imageIndex, unknown);
}

TEST_F(WindowsTypeIconsTest, FoldersShowTheFolderClassesIconExtractedOnce) {
    classes.setDefault("Folder\\DefaultIcon", kShell32 + ",-4");
    ASSERT_TRUE(CreateDirectoryW(toWide(scratch.path() + "sub").c_str(), nullptr));
    const auto first = lookup("sub\\");
    EXPECT_EQ(first.typeText, "Folder");
    EXPECT_EQ(first.imageIndex, 0);
    EXPECT_TRUE(isIconFile(first.imageIndex));
    EXPECT_EQ(lookup("missing\\"), first);
    EXPECT_EQ(images.indexOfKey(kShell32 + ",-4"), 0);
    EXPECT_EQ(images.size(), 1u);
}

// A negative index names the icon by its resource identifier; an entry whose icon cannot be had
// falls back on the Unknown class's entry, which is then kept for the extension.
TEST_F(WindowsTypeIconsTest, NegativeIndexesNameResourcesAndMissingIconsFallBack) {
    classes.setDefault(".qfnneg", "Quillfen.NegativeTest");
    classes.setDefault("Quillfen.NegativeTest\\DefaultIcon", kShell32 + ",-4");
    classes.setDefault(".qfnmiss", "Quillfen.MissingTest");
    classes.setDefault("Quillfen.MissingTest\\DefaultIcon", kShell32 + ",-9999");
    classes.setDefault("Unknown\\DefaultIcon", kShell32 + ",1");
    const int negative = lookup("a.qfnneg").imageIndex;
    EXPECT_EQ(images.indexOfKey(kShell32 + ",-4"), negative);
    EXPECT_TRUE(isIconFile(negative));
    EXPECT_EQ(ShellIcons::extract(kShell32, -4), images.source(negative)->data());
    const int missing = lookup("a.qfnmiss").imageIndex;
    EXPECT_EQ(images.indexOfKey(kShell32 + ",1"), missing);
    EXPECT_NE(missing, negative);
    EXPECT_EQ(images.indexOfKey(kShell32 + ",-9999"), -1);
    // Unknown extensions and names without a point show icon 0 of shell32.dll.
    const int unknown = lookup("Makefile").imageIndex;
    EXPECT_EQ(lookup("x.qzxvunknown").imageIndex, unknown);
    EXPECT_EQ(images.indexOfKey("Unknown,0"), unknown);
    EXPECT_EQ(images.indexOfKey(kShell32 + ",0"), unknown);
    EXPECT_EQ(images.size(), 3u);
}

}  // namespace
}  // namespace quillfen::platform
