#include "app/IniFile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/IniDocument.h"
#include "platform/Platform.h"
#include "support/IniFileWriters.h"
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

using test::formOf;
using test::kKeysPerWriter;
using test::kWriters;
using test::utf16leWithMark;
using test::writeAllKeys;

using Encoding = IniDocument::Encoding;

TEST(IniFile, MissingFileReadsEmptyAndAWriteCreatesItAsEightBit) {
    const test::TemporaryFolder folder;
    const std::string file = folder / "settings.ini";
    EXPECT_EQ(readIniValue(file, "Config", "LanguageID"), "");
    ASSERT_TRUE(writeIniValue(file, "Config", "LanguageID", "2052"));
    EXPECT_EQ(folder.readFile("settings.ini"), "[Config]\r\nLanguageID=2052\r\n");
    EXPECT_EQ(readIniValue(file, "config", "languageid"), "2052");
}

TEST(IniFile, UnusableTargetsReadEmptyAndRefuseWrites) {
    const test::TemporaryFolder folder;
    folder.writeFile("folder/inside.ini", "[s]\r\nk=1\r\n");
    folder.writeFile("settings.ini", "[s]\r\nk=1\r\n");
    const struct {
        std::string file;
        const char* section;
        const char* key;
    } cases[] = {
        {folder / "folder", "s", "k"},
        {folder / "missing/settings.ini", "s", "k"},
        {folder / "settings.ini", "s", "k=2"},
        {folder / "settings.ini", "s]", "k"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readIniValue(c.file, c.section, c.key), "") << c.file;
        EXPECT_FALSE(writeIniValue(c.file, c.section, c.key, "2")) << c.file;
    }
    EXPECT_EQ(folder.readFile("settings.ini"), "[s]\r\nk=1\r\n");
}

void writeFromThreads(const std::string& file) {
    std::vector<std::thread> threads;
    std::vector<char> succeeded(kWriters, 0);
    for (int writer = 0; writer < kWriters; ++writer) {
        threads.emplace_back([&, writer] { succeeded[writer] = writeAllKeys(file, writer); });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(succeeded, std::vector<char>(kWriters, 1));
}

// A fresh file is 8-bit; the values written here hold text that not every 8-bit code page holds,
// and a file whose code page cannot hold a value turns into UTF-16LE.
Encoding freshFileForm() {
    return platform::currentPlatform().text().toAnsiCodePage("值") ? Encoding::EightBit
                                                                   : Encoding::Utf16leWithBom;
}

struct StartingFile {
    const char* name;
    std::optional<std::string> bytes;
    std::optional<Encoding> form;  // none: the form a fresh file takes
};

class IniFileConcurrentWriters : public testing::TestWithParam<StartingFile> {};

TEST_P(IniFileConcurrentWriters, LoseNoKeyBetweenThreads) {
    const StartingFile& start = GetParam();
    const test::TemporaryFolder folder;
    const std::string file = folder / "settings.ini";
    if (start.bytes) {
        folder.writeFile("settings.ini", *start.bytes);
    }

    writeFromThreads(file);

    test::expectEveryWritersKeys(file);
    EXPECT_EQ(formOf(folder.readFile("settings.ini")), start.form.value_or(freshFileForm()));
    if (start.bytes) {
        EXPECT_EQ(readIniValue(file, "Config", "Kept"), "yes");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ini, IniFileConcurrentWriters,
    testing::Values(StartingFile{"Missing", std::nullopt, std::nullopt},
                    StartingFile{"EightBit", "[Config]\nKept=yes\n", std::nullopt},
                    StartingFile{"Utf16", utf16leWithMark(u"[Config]\r\nKept=yes\r\n"),
                                 Encoding::Utf16leWithBom}),
    [](const testing::TestParamInfo<StartingFile>& tested) {
        return std::string(tested.param.name);
    });

}  // namespace
}  // namespace quillfen
