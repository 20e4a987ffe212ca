#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/Application.h"
#include "app/PathHelpers.h"
#include "support/TemporaryFolder.h"
#include "update/Md5.h"
#include "update/UpdateAnswer.h"
#include "update/UpdateApply.h"
#include "update/VersionCheck.h"

namespace quillfen {
namespace {

TEST(UpdateVersions, ComparePartsAsNumbers) {
    const struct {
        const char* a;
        const char* b;
        int expected;
    } cases[] = {
        {"1.3.3.20220312", "1.3.4", -1},
        {"1.3.3.20220312", "1.3.3", 1},
        {"1.3", "1.3.0.0", 0},
        {"1.10", "1.9", 1},
        {"1.3.3.20220312", "", 1},
        {"", "", 0},
        {"2", "10", -1},
        {"1.x", "1.0", 0},
        {" 7", "7", 0},
        {"1.-1", "1.0", -1},
        {"99999999999999999999999", "1", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compareVersions(c.a, c.b), c.expected) << c.a << " vs " << c.b;
    }
}

TEST(UpdateAnswers, NeedTheirFrameAndTakeExactKeys) {
    const struct {
        const char* body;
        std::optional<UpdateAnswer> expected;
    } cases[] = {
        {"[Begin]\nVer=9.0\n[End]\n", UpdateAnswer{"9.0", "", ""}},
        {"[Begin]\r\nVer=9.0\r\n[End]\r\n", UpdateAnswer{"9.0", "", ""}},
        {"[Begin]\r\n Ver=9.0\r\nVer =8\r\nver=7\r\n[End]", UpdateAnswer{"", "", ""}},
        {"[Begin]\r\nVer=1\r\nVer=2\r\nLink=a;b\r\nSize=12\r\n=x\r\nnoequals\r\n[End]",
         UpdateAnswer{"2", "a;b", "12"}},
        {"[Begin]\r\nLink=http://h/a=b\r\n[End]", UpdateAnswer{"", "http://h/a=b", ""}},
        {"[Begin]\r\n[End]\r\n", std::nullopt},
        {"[Begin]\r\nVer=9\r\n", std::nullopt},
        {"", std::nullopt},
        {"<html>\r\nVer=9\r\n</html>", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseUpdateAnswer(answerLines(c.body)), c.expected) << c.body;
    }
}

TEST(UpdateRequest, BuildsTheFixedPathAndQuery) {
    EXPECT_EQ(md5UpperHex(""), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(buildVersionRequestUrl("http://127.0.0.1:8080", "1.3.3.20220312", "Chinese", 2052,
                                     "  SER123,Model X \t"),
              "http://127.0.0.1:8080/Quillfen/index.asp?ask=Ver&Ver=1.3.3.20220312"
              "&ls_soft=Quillfen!&Language=Chinese&LanguageID=2052&ID=" +
                  md5UpperHex("SER123,Model X"));
    const std::string spaced =
        buildVersionRequestUrl("http://h", "1", "Norwegian Bokmål", 1044, "");
    EXPECT_NE(spaced.find("&Language=Norwegian%20Bokm%C3%A5l&"), std::string::npos) << spaced;
}

// Through the platform the test program installed, with its real files and processes.
class UpdateDownloadTest : public testing::Test {
protected:
    void SetUp() override {
        // A stand-in downloader, copied into the test's folder under its own name, that records
        // its arguments in "calls" and writes as many bytes as the file "work/bytes" says.
        downloader = folder / QUILLFEN_STAND_IN_DOWNLOADER;
        std::filesystem::copy_file(moduleDirectory() + QUILLFEN_STAND_IN_DOWNLOADER, downloader);
        folder.writeFile("work/bytes", "10");
        std::filesystem::create_directories(folder / "program");
    }

    int download(const std::string& links, const std::string& size) {
        return downloadUpdate(downloader, links, size, folder / "program", true, folder / "work/");
    }

    test::TemporaryFolder folder;
    std::string downloader;
};

TEST_F(UpdateDownloadTest, HandsEachLinkOverUntilOneHasTheAnnouncedSize) {
    EXPECT_EQ(download("http://h/files/setup.exe;http://h/files/second.exe", "10"), 0);
    EXPECT_EQ(folder.readFile("calls"), "/d\nhttp://h/files/setup.exe\n" + folder / "work/" +
                                            "setup.exe\n10\n" + moduleFilePath() + "\n");
}

TEST_F(UpdateDownloadTest, SkipsLinksThatCannotBeSafelyHandedOver) {
    EXPECT_EQ(download("nolink;/rooted;ftp://h/x.exe;http://h/a b.exe;http://h/q\".exe;"
                       "https://h/\x01.exe",
                       "10"),
              -1);
    EXPECT_FALSE(std::filesystem::exists(folder / "calls"));
}

TEST_F(UpdateDownloadTest, ArchiveLinksGoToTheProgramFolderAndNeverEndTheLoop) {
    EXPECT_EQ(download("http://h/UPDATE.ZIP;https://h/next.zip_", "10"), -1);
    const std::string calls = folder.readFile("calls");
    EXPECT_NE(calls.find("http://h/UPDATE.ZIP\n" + folder / "program/\n"), std::string::npos)
        << calls;
    EXPECT_NE(calls.find("https://h/next.zip_\n" + folder / "program/\n"), std::string::npos);
}

TEST_F(UpdateDownloadTest, AWrongSizeMovesOnToTheNextLinkAndIsRemoved) {
    folder.writeFile("work/bytes", "9");
    EXPECT_EQ(download("http://h/a.exe;http://h/b.exe", "10"), -1);
    const std::string calls = folder.readFile("calls");
    EXPECT_EQ(std::count(calls.begin(), calls.end(), '\n'), 10);
    EXPECT_FALSE(std::filesystem::exists(folder / "work/a.exe"));
    EXPECT_FALSE(std::filesystem::exists(folder / "work/b.exe"));
}

// What follows a "?" or "#" is the server's to add; it never makes a link an archive, which
// would send the download into the program's folder.
TEST_F(UpdateDownloadTest, ALinkIsAnArchiveByItsPathAlone) {
    const struct {
        const char* link;
        std::string target;
    } cases[] = {
        {"http://h/f/quillfen?.zip", folder / "work/quillfen"},
        {"http://h/f/anna.desk7.ini#x.zip", folder / "work/anna.desk7.ini"},
        {"http://h/f/setup.exe?v=2", folder / "work/setup.exe"},
        {"http://h/f/update.zip?mirror=2", folder / "program/"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(folder / "calls");
        download(c.link, "10");
        EXPECT_EQ(folder.readFile("calls"), std::string("/d\n") + c.link + "\n" + c.target +
                                                "\n10\n" + moduleFilePath() + "\n");
    }
}

TEST_F(UpdateDownloadTest, SkipsLinksWithoutAPlainFileName) {
    EXPECT_EQ(download("http://h/dir/;http://h/.profile;http://h/x/..;http://h/x/.#a", "10"), -1);
    EXPECT_FALSE(std::filesystem::exists(folder / "calls"));
}

}  // namespace
}  // namespace quillfen
