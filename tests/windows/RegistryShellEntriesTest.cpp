#include "shell/windows/RegistryShellEntries.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/LanguageTable.h"
#include "platform/windows/Registry.h"
#include "platform/windows/WideText.h"
#include "support/ProgramFolderFixture.h"

namespace quillfen {
namespace {

using platform::kRegString;
using platform::regQueryString;
using platform::regSetString;

constexpr const wchar_t* kArea = L"Software\\QuillfenShellTest";
const std::string kMachine = "HKEY_CURRENT_USER\\Software\\QuillfenShellTest\\Machine";
const std::string kUser = "HKEY_CURRENT_USER\\Software\\QuillfenShellTest\\User";
// The language the fixture's program speaks.
constexpr const char* kLanguage = "2052";

// The entries go to two classes of the test's own below the user's key, which stand for the
// machine's and the user's, and are removed with all they hold afterwards.
class RegistryShellEntriesTest : public test::ProgramFolderFixture {
protected:
    void SetUp() override {
        ProgramFolderFixture::SetUp();
        // The language table keeps the first name it learns for the rest of the process.
        platform.facts().fixedLanguageName.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, kArea);
        regSetString(kMachine + "\\Folder\\shell", "", "");
        regSetString(kMachine + "\\*\\shell", "", "");
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kArea);
        ProgramFolderFixture::TearDown();
    }

    static RegistryShellEntries entries(bool machineWritable) {
        return RegistryShellEntries({kMachine, kUser},
                                    [machineWritable] { return machineWritable; });
    }

    static bool keyExists(const std::string& location) {
        const std::string below = location.substr(location.find('\\') + 1);
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, platform::toWide(below).c_str(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }

    static std::string valueOf(const std::string& location) {
        return regQueryString(location, "", kRegString);
    }
};

TEST_F(RegistryShellEntriesTest, WithoutMachineRightsTheFourEntriesGoToTheUserClasses) {
    entries(false).install(kLanguage);
    const std::string command = "\"" + (folder / "prog/quillfen") + "\" %1";
    EXPECT_EQ(valueOf(kUser + "\\Folder\\shell\\Quillfen!\\command"), command);
    EXPECT_TRUE(keyExists(kUser + "\\Folder\\shell\\Quillfen!"));
    EXPECT_EQ(valueOf(kUser + "\\Folder\\shell\\Quillfen!"), "");
    EXPECT_EQ(valueOf(kUser + "\\*\\shell\\Quillfen!\\command"), command);
    EXPECT_EQ(valueOf(kUser + "\\*\\shell\\Quillfen!"), translate("Document Duplication Search"));
    EXPECT_FALSE(keyExists(kMachine + "\\Folder\\shell\\Quillfen!"));
    EXPECT_FALSE(keyExists(kMachine + "\\*\\shell\\Quillfen!"));
}

// A language change rewrites the entries before the restart, in the language to come.
TEST_F(RegistryShellEntriesTest, TheFilesEntrySpeaksTheLanguageItIsInstalledFor) {
    folder.writeFile("prog/Language/1031.ini",
                     "[Config]\r\nLanguageName=German\r\n[Translate]\r\n"
                     "Document Duplication Search=Duplikatsuche\r\n");
    entries(false).install("1031");
    EXPECT_EQ(valueOf(kUser + "\\*\\shell\\Quillfen!"), "Duplikatsuche");
    entries(false).install("1033");
    EXPECT_EQ(valueOf(kUser + "\\*\\shell\\Quillfen!"), "Document Duplication Search");
}

TEST_F(RegistryShellEntriesTest, WithMachineRightsTheEntriesGoToTheMachineClasses) {
    entries(true).install(kLanguage);
    const std::string command = RegistryShellEntries::commandText();
    EXPECT_EQ(valueOf(kMachine + "\\Folder\\shell\\Quillfen!\\command"), command);
    EXPECT_EQ(valueOf(kMachine + "\\*\\shell\\Quillfen!\\command"), command);
    EXPECT_EQ(valueOf(kMachine + "\\*\\shell\\Quillfen!"),
              translate("Document Duplication Search"));
    EXPECT_FALSE(keyExists(kUser + "\\Folder"));
    EXPECT_FALSE(keyExists(kUser + "\\*"));
}

TEST_F(RegistryShellEntriesTest, APathWithBlanksKeepsItsQuotesAndLeavesTheItemUnquoted) {
    platform.facts().fixedExecutablePath = "C:\\Program Files\\Quill fen\\quillfen.exe";
    entries(false).install(kLanguage);
    EXPECT_EQ(valueOf(kUser + "\\Folder\\shell\\Quillfen!\\command"),
              "\"C:\\Program Files\\Quill fen\\quillfen.exe\" %1");
    EXPECT_EQ(valueOf(kUser + "\\*\\shell\\Quillfen!\\command"),
              "\"C:\\Program Files\\Quill fen\\quillfen.exe\" %1");
}

// Only the folder entry counts, and the user's classes hide the machine's as the shell merges
// them.
TEST_F(RegistryShellEntriesTest, DetectionComparesTheFolderCommandTheUserSeesWithThisProgram) {
    const std::string here = folder / "prog/quillfen";
    const std::string elsewhere = folder / "old place/quillfen";
    struct Case {
        const char* what;
        std::string machineCommand;
        std::string userCommand;
        std::string filesCommand;
        bool installed;
    };
    const Case cases[] = {
        {"nothing stored", "", "", "", false},
        {"ours in the user classes", "", here, "", true},
        {"ours in the machine classes", here, "", "", true},
        {"a moved program's", "", elsewhere, "", false},
        {"a moved program's hiding ours", here, elsewhere, "", false},
        {"ours hiding a moved program's", elsewhere, here, "", true},
        {"ours on files only", "", "", here, false},
    };
    const auto commandOf = [](const std::string& path) { return "\"" + path + "\" %1"; };
    for (const Case& c : cases) {
        RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kArea) + L"\\User\\Folder").c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kArea) + L"\\User\\*").c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kArea) + L"\\Machine\\Folder").c_str());
        if (!c.machineCommand.empty()) {
            regSetString(kMachine + "\\Folder\\shell\\Quillfen!\\command", "",
                         commandOf(c.machineCommand));
        }
        if (!c.userCommand.empty()) {
            regSetString(kUser + "\\Folder\\shell\\Quillfen!\\command", "",
                         commandOf(c.userCommand));
        }
        if (!c.filesCommand.empty()) {
            regSetString(kUser + "\\*\\shell\\Quillfen!\\command", "", commandOf(c.filesCommand));
        }
        EXPECT_EQ(entries(false).isInstalled(), c.installed) << c.what;
    }
}

TEST_F(RegistryShellEntriesTest, AMovedProgramShowsAsNotInstalledUntilInstalledAgain) {
    entries(false).install(kLanguage);
    EXPECT_TRUE(entries(false).isInstalled());
    platform.facts().fixedExecutablePath = folder / "moved/quillfen";
    EXPECT_FALSE(entries(false).isInstalled());
    entries(false).install(kLanguage);
    EXPECT_TRUE(entries(false).isInstalled());
    EXPECT_EQ(valueOf(kUser + "\\*\\shell\\Quillfen!\\command"),
              "\"" + (folder / "moved/quillfen") + "\" %1");
}

TEST_F(RegistryShellEntriesTest, RemovalDeletesOursFromBothClassesAndNothingElse) {
    entries(true).install(kLanguage);
    entries(false).install(kLanguage);
    regSetString(kUser + "\\Folder\\shell\\Other\\command", "", "other.exe");
    regSetString(kMachine + "\\*\\shell\\Quillfen!2", "", "neighbour");
    entries(false).remove();
    EXPECT_FALSE(entries(false).isInstalled());
    for (const std::string& root : {kMachine, kUser}) {
        EXPECT_FALSE(keyExists(root + "\\Folder\\shell\\Quillfen!")) << root;
        EXPECT_FALSE(keyExists(root + "\\*\\shell\\Quillfen!")) << root;
        EXPECT_TRUE(keyExists(root + "\\Folder\\shell")) << root;
        EXPECT_TRUE(keyExists(root + "\\*\\shell")) << root;
    }
    EXPECT_EQ(valueOf(kUser + "\\Folder\\shell\\Other\\command"), "other.exe");
    EXPECT_EQ(valueOf(kMachine + "\\*\\shell\\Quillfen!2"), "neighbour");
}

TEST_F(RegistryShellEntriesTest, RemovingEntriesNeverInstalledChangesNothing) {
    regSetString(kUser + "\\Folder\\shell\\Other", "", "kept");
    entries(false).remove();
    entries(true).remove();
    EXPECT_EQ(valueOf(kUser + "\\Folder\\shell\\Other"), "kept");
    EXPECT_FALSE(keyExists(kUser + "\\Folder\\shell\\Quillfen!"));
    EXPECT_FALSE(keyExists(kUser + "\\*"));
    EXPECT_FALSE(keyExists(kMachine + "\\Folder\\shell\\Quillfen!"));
    EXPECT_TRUE(keyExists(kMachine + "\\*\\shell"));
}

TEST_F(RegistryShellEntriesTest, MayWriteAnswersForKeysThatExist) {
    EXPECT_TRUE(platform::regMayWrite(kMachine + "\\Folder\\shell"));
    EXPECT_FALSE(platform::regMayWrite(kMachine + "\\Missing"));
    EXPECT_FALSE(platform::regMayWrite("HKEY_CURRENT_USER"));
    EXPECT_FALSE(platform::regMayWrite("HKEY_NOWHERE\\Software"));
}

}  // namespace
}  // namespace quillfen
