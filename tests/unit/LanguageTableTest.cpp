#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/Application.h"
#include "app/IniFile.h"
#include "app/LanguageTable.h"
#include "app/TextUtilities.h"
#include "support/PlatformOverlay.h"
#include "support/ProgramFolderFixture.h"

namespace quillfen {
namespace {

std::string utf16(std::u16string_view text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

class LanguageTableTest : public test::ProgramFolderFixture {
protected:
    void SetUp() override {
        ProgramFolderFixture::SetUp();
        folder.writeFile("prog/Language/1033.ini",
                         "[Config]\r\nLanguageName=English\r\n[Translate]\r\nFind=Find\r\n"
                         "Stop=Stop\r\n");
    }
    std::string chineseFile() const { return folder / "prog/Language/2052.ini"; }

    LanguageTable table;
};

TEST_F(LanguageTableTest, FirstRequestCreatesTheSystemLanguageFileInUtf16) {
    EXPECT_EQ(table.translate("Find"), "Find");

    const std::string bytes = folder.readFile("prog/Language/2052.ini");
    EXPECT_TRUE(bytes.starts_with(utf16(u"[Config]\r\nLanguageName=Chinese\r\n"))) << bytes;
    EXPECT_EQ(readIniValue(chineseFile(), "Config", "LanguageName"), "Chinese");
    EXPECT_EQ(readIniValue(chineseFile(), "Translate", "Find"), "Find");
    EXPECT_EQ(readIniValue(chineseFile(), "Translate", "Stop"), "Stop");
    EXPECT_EQ(readIniValue(settingsFile(), "Config", "LanguageID"), "2052");
    EXPECT_TRUE(table.loaded());
}

TEST_F(LanguageTableTest, TranslatedValueIsReturnedAndNewTextsAreAddedInTheFilesForm) {
    folder.writeFile(
        "prog/Language/2052.ini",
        utf16(u"\uFEFF[Config]\r\nLanguageName=Chinese\r\n[Translate]\r\nFind=查找\r\n"));
    EXPECT_EQ(table.translate("Find"), "查找");
    EXPECT_EQ(table.translate("Look in:"), "Look in:");

    const std::string bytes = folder.readFile("prog/Language/2052.ini");
    EXPECT_TRUE(bytes.starts_with("\xff\xfe"));
    EXPECT_NE(bytes.find(utf16(u"Look in:=Look in:")), std::string::npos);
}

TEST_F(LanguageTableTest, ChosenLanguageOverridesTheSystemLanguage) {
    writeIniValue(settingsFile(), "Config", "LanguageID", "1031");
    folder.writeFile("prog/Language/1031.ini", "[Translate]\r\nFind=Suchen\r\n");
    EXPECT_EQ(table.translate("Find"), "Suchen");
    EXPECT_FALSE(std::filesystem::exists(chineseFile()));
}

TEST_F(LanguageTableTest, OnlyADecimalLanguageIdentifierNamesALanguageFile) {
    folder.writeFile("prog/Language/1031.ini", "[Translate]\r\nFind=Suchen\r\n");
    folder.writeFile("prog/Language/65535.ini", "[Translate]\r\nFind=Max\r\n");
    folder.writeFile("prog/Language/2052.ini", utf16(u"\uFEFF[Translate]\r\nFind=查找\r\n"));
    const struct {
        const char* stored;
        const char* shown;
    } cases[] = {
        {"1031", "Suchen"},
        {" 1031 ", "Suchen"},
        {"65535", "Max"},
        {"65536", "查找"},
        {"000001031", "查找"},
        {"../Language/1031", "查找"},
        {"../../x", "查找"},
        {"/tmp/x", "查找"},
        {"1031.ini", "查找"},
        {"-1031", "查找"},
        {"+1031", "查找"},
        {"10 31", "查找"},
        {"\xD9\xA1\xD9\xA0", "查找"},
    };
    for (const auto& c : cases) {
        writeIniValue(settingsFile(), "Config", "LanguageID", c.stored);
        LanguageTable fresh;
        EXPECT_EQ(fresh.translate("Find"), c.shown) << c.stored;
        EXPECT_EQ(readIniValue(settingsFile(), "Config", "LanguageID"),
                  std::string(trimWhiteSpace(c.stored)))
            << "the stored value is left as the user wrote it";
    }
    const auto languageFiles =
        std::distance(std::filesystem::directory_iterator(folder / "prog/Language"), {});
    EXPECT_EQ(languageFiles, 4) << "no file of another name is made";
    EXPECT_FALSE(std::filesystem::exists(folder / "x.ini"));
}

TEST_F(LanguageTableTest, SecondRequestComesFromTheCache) {
    EXPECT_EQ(table.translate("Find"), "Find");
    writeIniValue(chineseFile(), "Translate", "Find", "查找");
    EXPECT_EQ(table.translate("Find"), "Find");
}

TEST_F(LanguageTableTest, BlankTranslationIsRestoredToTheEnglishText) {
    folder.writeFile("prog/Language/2052.ini", "[Translate]\r\nFind=  \r\n");
    EXPECT_EQ(table.translate("Find"), "Find");
    EXPECT_EQ(readIniValue(chineseFile(), "Translate", "Find"), "Find");
}

TEST_F(LanguageTableTest, EmptyTextTouchesNothing) {
    EXPECT_EQ(table.translate(""), "");
    EXPECT_FALSE(table.loaded());
    EXPECT_FALSE(std::filesystem::exists(folder / "prog/Language/2052.ini"));
    EXPECT_FALSE(std::filesystem::exists(settingsFile()));
}

TEST_F(LanguageTableTest, MissingEnglishTableStartsWithTheConfigSectionOnly) {
    std::filesystem::remove(folder / "prog/Language/1033.ini");
    EXPECT_EQ(table.translate("Find"), "Find");
    EXPECT_EQ(readIniValue(chineseFile(), "Translate", "Stop"), "");
    EXPECT_EQ(readIniValue(chineseFile(), "Translate", "Find"), "Find");
}

TEST_F(LanguageTableTest, EnglishTableIsSeededIntoTheConfigFolderOfAReadOnlyInstallation) {
    platform.facts().fixedExecutablePath = folder / "prog/bin/quillfen";
    folder.writeFile("prog/share/quillfen/Language/1033.ini", "[Translate]\r\nFind=Find\r\n");
    folder.writeFile("prog/share/quillfen/Language/1031.ini", "[Translate]\r\nFind=Suchen\r\n");
    std::filesystem::remove(folder / "prog/Language/1033.ini");
    EXPECT_EQ(table.translate("Find"), "Find");
    EXPECT_EQ(readIniValue(folder / "config/quillfen/Language/2052.ini", "Translate", "Find"),
              "Find");
    EXPECT_TRUE(std::filesystem::exists(folder / "config/quillfen/Language/1033.ini"));
    EXPECT_EQ(readIniValue(folder / "config/quillfen/Language/1031.ini", "Translate", "Find"),
              "Suchen");
}

// A program killed while it writes a file of that name, after the new contents are on disk and
// before they take the file's name.
struct KilledWhileWriting {};

class KillingFileSystem : public test::SystemFileSystem {
public:
    explicit KillingFileSystem(std::string name)
        : test::SystemFileSystem([name = std::move(name)](const std::string& temporary) {
              if (temporary.find("." + name + ".") != std::string::npos) {
                  throw KilledWhileWriting{};
              }
          }) {}
};

class InstalledLanguageTableTest : public LanguageTableTest {
protected:
    void SetUp() override {
        LanguageTableTest::SetUp();
        platform.facts().fixedExecutablePath = folder / "prog/bin/quillfen";
        platform.facts().fixedInstalledCopy = true;
        folder.writeFile("prog/share/quillfen/Language/1033.ini",
                         "[Config]\r\nLanguageName=English\r\n[Translate]\r\nFind=Find\r\n");
        folder.writeFile("prog/share/quillfen/Language/1031.ini",
                         "[Config]\r\nLanguageName=German\r\n[Translate]\r\nFind=Suchen\r\n");
    }
    std::string userTable(const std::string& name) const {
        return folder / ("config/quillfen/Language/" + name);
    }
};

TEST_F(InstalledLanguageTableTest, AKillWhileATableIsFirstWrittenLeavesNoEmptyTable) {
    for (const char* name : {"1031.ini", "1033.ini"}) {
        KillingFileSystem dying(name);
        const test::PlatformOverlay overlay(dying);
        EXPECT_THROW(prepareLanguageFolder(), KilledWhileWriting) << name;
        EXPECT_FALSE(std::filesystem::exists(userTable(name))) << name;
    }
    {
        KillingFileSystem dying("2052.ini");
        const test::PlatformOverlay overlay(dying);
        LanguageTable killed;
        EXPECT_THROW(killed.translate("Find"), KilledWhileWriting);
        EXPECT_FALSE(std::filesystem::exists(userTable("2052.ini")));
    }

    writeIniValue(settingsFilePath(), "Config", "LanguageID", "1031");
    EXPECT_EQ(table.translate("Find"), "Suchen");
    EXPECT_EQ(readIniValue(userTable("1031.ini"), "Config", "LanguageName"), "German");
    EXPECT_EQ(sectionKeyNames(userTable("1033.ini"), "Translate"),
              std::vector<std::string>{"Find"});
}

TEST_F(InstalledLanguageTableTest, ATableThatIsEmptyOrHoldsNoTextsCountsAsMissing) {
    const struct {
        const char* left;
        bool replaced;
    } cases[] = {
        {"", true},
        {"\r\n", true},
        {"[Config]\r\nLanguageName=German\r\n", true},
        {"[Translate]\r\nFind=Finden\r\n", false},
        {"[translate]\r\n", false},
    };
    for (const auto& c : cases) {
        for (const char* name : {"1031.ini", "1033.ini", "2052.ini"}) {
            folder.writeFile("config/quillfen/Language/" + std::string(name), c.left);
        }
        LanguageTable fresh;
        fresh.translate("Find");
        const std::string kept = c.left;
        EXPECT_EQ(folder.readFile("config/quillfen/Language/1031.ini") == kept, !c.replaced)
            << c.left;
        EXPECT_EQ(folder.readFile("config/quillfen/Language/1033.ini") == kept, !c.replaced)
            << c.left;
        if (c.replaced) {
            EXPECT_EQ(readIniValue(userTable("1031.ini"), "Translate", "Find"), "Suchen");
            EXPECT_TRUE(folder.readFile("config/quillfen/Language/2052.ini")
                            .starts_with(utf16(u"[Config]\r\nLanguageName=Chinese\r\n")))
                << c.left;
        }
        EXPECT_EQ(readIniValue(userTable("2052.ini"), "Translate", "Find").empty(), false);
    }
}

TEST_F(LanguageTableTest, SectionKeyNamesFollowTheTablesOwnReadingRules) {
    folder.writeFile("t.ini",
                     "Before=1\r\n[translate]\r\nFind = x\r\n;Comment=1\r\n=blank\r\nnoequals\r\n"
                     " Lead=2\r\nFind = y\r\n[Other]\r\nAfter=3\r\n");
    using Keys = std::vector<std::string>;
    EXPECT_EQ(sectionKeyNames(folder / "t.ini", "Translate"), (Keys{"Find ", " Lead", "Find "}));
    EXPECT_EQ(sectionKeyNames(folder / "t.ini", "Missing"), Keys{});
    EXPECT_EQ(sectionKeyNames(folder / "absent.ini", "Translate"), Keys{});
    folder.writeFile("wide.ini", utf16(u"[Translate]\r\nFind=Find\r\n"));
    EXPECT_EQ(sectionKeyNames(folder / "wide.ini", "Translate"), Keys{});
    folder.writeFile("marked.ini", "\xEF\xBB\xBF[Translate]\r\nFind=Find\r\n");
    EXPECT_EQ(sectionKeyNames(folder / "marked.ini", "Translate"), Keys{"Find"});
}

TEST_F(LanguageTableTest, TranslationReadmePreparesTheSystemLanguageFileAndOpensIt) {
    const std::string editor = folder / "editor.sh";
    const std::string opened = folder / "opened.txt";
    folder.writeFile("editor.sh", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + opened +
                                      ".part\"\nmv \"" + opened + ".part\" \"" + opened + "\"\n");
    std::filesystem::permissions(editor, std::filesystem::perms::owner_all);
    writeIniValue(settingsFile(), "Config", "LanguageID", "1031");
    Application::instance().editor = "\"" + editor + "\"";

    openTranslationReadme();

    EXPECT_EQ(readIniValue(chineseFile(), "Translate", "Find"), "Find");
    EXPECT_NE(folder.readFile("prog/Language/2052.ini").find("Transalte By=\r\n"),
              std::string::npos);
    EXPECT_EQ(readIniValue(chineseFile(), "Config", "Readme"),
              "Please translate all values in following AppName \"Translate\" to Chinese and save "
              "as encoding Unicode. Mail this file to translations@quillfen.org. Thank you very "
              "much.");
    EXPECT_FALSE(folder.readFile("prog/Language/2052.ini").starts_with("\xff\xfe"));
    for (int i = 0; i < 500 && !std::filesystem::exists(opened); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(folder.readFile("opened.txt"), chineseFile() + "\n");
    Application::instance().editor.clear();
}

}  // namespace
}  // namespace quillfen
