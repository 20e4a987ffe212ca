#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/Application.h"
#include "app/IniFile.h"
#include "app/LanguageTable.h"
#include "app/PathHelpers.h"
#include "app/Settings.h"
#include "support/ProgramFolderFixture.h"

namespace quillfen {
namespace {

class SettingsTest : public test::ProgramFolderFixture {};

TEST_F(SettingsTest, FileIsNamedAfterUserAndComputerBesideTheProgram) {
    EXPECT_EQ(settingsFilePath(), settingsFile());
}

TEST_F(SettingsTest, ProgramFolderWithoutWriteAccessFallsBackToTheConfigFolder) {
    platform.facts().fixedExecutablePath = folder / "missing/quillfen";
    EXPECT_EQ(settingsFilePath(), folder / "config/quillfen/anna.desk7.ini");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "config/quillfen"));
}

// An installed copy never writes beside itself, even when it could (a superuser's run, a setup
// that installed into a folder the user owns); only a portable copy does.
TEST_F(SettingsTest, OnlyAWritablePortableCopyKeepsItsFilesBesideItself) {
    const struct {
        bool installed;
        bool writable;
        std::string folder;
    } cases[] = {{false, true, programFolder()},
                 {false, false, folder / "config/quillfen/"},
                 {true, true, folder / "config/quillfen/"},
                 {true, false, folder / "config/quillfen/"}};
    for (const auto& c : cases) {
        platform.facts().fixedInstalledCopy = c.installed;
        platform.facts().fixedExecutablePath = folder / (c.writable ? "prog/quillfen" : "gone/q");
        forgetSettingsFilePath();
        EXPECT_EQ(settingsDirectory(), c.folder) << c.installed << c.writable;
        EXPECT_EQ(settingsFilePath(), c.folder + "anna.desk7.ini");
        EXPECT_EQ(languageFolder(), c.folder + "Language" + pathSeparator());
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "prog/Language"));
}

TEST_F(SettingsTest, AnUpgradedInstalledCopyCarriesItsSettingsOverToTheUsersFolder) {
    const std::string stored = "[Config]\r\nEditor=kate\r\n";
    folder.writeFile("prog/anna.desk7.ini", stored);
    folder.writeFile("config/quillfen/bert.desk7.ini", "[Config]\r\nEditor=vim\r\n");
    platform.facts().fixedInstalledCopy = true;
    EXPECT_EQ(readSetting(settingsFilePath(), "Config", "Editor", "x"), "kate");
    EXPECT_EQ(folder.readFile("prog/anna.desk7.ini"), stored);
    // Settings the user's folder holds already are the newer ones.
    folder.writeFile("prog/bert.desk7.ini", stored);
    platform.facts().fixedUserName = "bert";
    forgetSettingsFilePath();
    EXPECT_EQ(readSetting(settingsFilePath(), "Config", "Editor", "x"), "vim");
}

TEST_F(SettingsTest, PathIsRememberedForTheProcess) {
    const std::string first = settingsFilePath();
    platform.facts().fixedUserName = "bert";
    EXPECT_EQ(settingsFilePath(), first);
}

TEST_F(SettingsTest, FirstStartWritesTheDefaultsBack) {
    Application application;
    application.loadSettings();
    EXPECT_FALSE(application.showSelfIcon);
    EXPECT_FALSE(application.searchInRecycleBin);
    EXPECT_TRUE(application.useIndex);
    EXPECT_EQ(application.editor, "stand-in-editor");
    EXPECT_EQ(folder.readFile("prog/anna.desk7.ini"),
              "[Config]\r\nShowSelfIcon=N\r\nSearchInRecycleBin=N\r\nUseIndex=Y\r\n"
              "Editor=stand-in-editor\r\n");
    EXPECT_EQ(editorDisplayName(""), "stand-in-editor");
}

// On Linux, "xdg-open" is what a start that found no text editor stored; it gives way to an
// editor found later, and stays while there is none. Elsewhere it is a choice like any other.
TEST_F(SettingsTest, AStoredStandInEditorGivesWayToAnEditorFoundLater) {
    const bool standIn = pathSeparator() == '/';
    for (const char* found : {"stand-in-editor", "xdg-open"}) {
        platform.facts().fixedTextEditor = found;
        writeIniValue(settingsFile(), "Config", "Editor", "xdg-open");
        Application application;
        application.loadSettings();
        const std::string expected = standIn ? found : "xdg-open";
        EXPECT_EQ(application.editor, expected) << found;
        EXPECT_EQ(readIniValue(settingsFile(), "Config", "Editor"), expected) << found;
        EXPECT_EQ(editorDisplayName(""), expected) << found;
    }
}

TEST_F(SettingsTest, OnlyTheExactValueNCountsAsOff) {
    const struct {
        const char* stored;
        bool on;
    } cases[] = {{"N", false}, {"no", true}, {"Y", true}, {"n", true}, {"N  ", false}};
    for (const auto& c : cases) {
        writeIniValue(settingsFile(), "Config", "ShowSelfIcon", c.stored);
        Application application;
        application.loadSettings();
        EXPECT_EQ(application.showSelfIcon, c.on) << "'" << c.stored << "'";
    }
}

TEST_F(SettingsTest, BlankValueIsReplacedByItsDefaultAndWrittenBack) {
    folder.writeFile("prog/anna.desk7.ini", "[Config]\r\nEditor=   \r\n");
    EXPECT_EQ(readSetting(settingsFile(), "Config", "Editor", "gedit"), "gedit");
    EXPECT_EQ(readIniValue(settingsFile(), "Config", "Editor"), "gedit");
}

TEST_F(SettingsTest, EmptyDefaultCreatesAKeyWithNothingBehindTheEqualsSign) {
    EXPECT_EQ(readSetting(settingsFile(), "Path", "0", ""), "");
    EXPECT_EQ(folder.readFile("prog/anna.desk7.ini"), "[Path]\r\n0=\r\n");
}

TEST_F(SettingsTest, TrailingBlanksAreNotReturned) {
    writeSetting(settingsFile(), "Config", "Editor", "kate   ");
    EXPECT_EQ(readSetting(settingsFile(), "Config", "Editor", "x"), "kate");
}

TEST_F(SettingsTest, CostlyDefaultIsOnlyComputedWhenNeeded) {
    writeSetting(settingsFile(), "Config", "Editor", "kate");
    bool asked = false;
    readSetting(settingsFile(), "Config", "Editor", [&] {
        asked = true;
        return std::string("gedit");
    });
    EXPECT_FALSE(asked);
}

TEST_F(SettingsTest, TwoUsersOfOneProgramFolderGetTwoFiles) {
    writeSetting(settingsFilePath(), "Path", "0", "/home/anna");
    forgetSettingsFilePath();
    platform.facts().fixedUserName = "bert";
    writeSetting(settingsFilePath(), "Path", "0", "/home/bert");
    EXPECT_EQ(readIniValue(folder / "prog/anna.desk7.ini", "Path", "0"), "/home/anna");
    EXPECT_EQ(readIniValue(folder / "prog/bert.desk7.ini", "Path", "0"), "/home/bert");
}

// The commands' paths with the system's separator in place of '/'.
std::string withSystemSeparators(std::string command) {
    std::replace(command.begin(), command.end(), '/', pathSeparator());
    return command;
}

TEST(EditorDisplayName, IsTheProgramFileNameWithoutExtension) {
    const struct {
        const char* command;
        const char* expected;
    } cases[] = {
        {"Notepad.exe", "Notepad"},
        {"gedit", "gedit"},
        {"/usr/bin/kate --new", "kate"},
        {"\"/opt/my editors/ed.sh\" -x /tmp/a.b", "ed"},
        {"\"/opt/unclosed quote", "unclosed quote"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(editorDisplayName(withSystemSeparators(c.command)), c.expected) << c.command;
    }
    EXPECT_EQ(editorDisplayName(""), "unclosed quote");
}

}  // namespace
}  // namespace quillfen
