#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "WindowsTestPlatform.h"
#include "app/TextUtilities.h"
#include "support/TemporaryFolder.h"
#include "support/TestHttpServer.h"
#include "update/MachineIdentifier.h"
#include "update/Md5.h"
#include "update/VersionCheck.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::TestHttpServer;

// Every file and folder below `folder`, relative to it, with '/' between the names.
std::vector<std::string> treeOf(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        names.push_back(fs::relative(entry.path(), folder).generic_string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The whole check in this process, as "/Update" runs it, against the test's server: the program
// seems to run from the test's "program" folder and the user's cache folder is the test's.
class VersionCheckTest : public testing::Test {
protected:
    void SetUp() override {
        folder.writeFile("program/quillfen.exe", "program");
        fs::create_directories(folder / "cache");
        platform.facts().fixedExecutablePath = folder / "program/quillfen.exe";
        platform.facts().fixedUserCacheDirectory = folder / "cache";
        _putenv_s("QUILLFEN_UPDATE_BASE", server.base().c_str());
    }

    void TearDown() override { _putenv_s("QUILLFEN_UPDATE_BASE", ""); }

    void check() { runVersionCheck(machineIdentifier(platform.disks())); }

    test::TemporaryFolder folder;
    test::WindowsTestPlatform platform;
    std::string answer;
    TestHttpServer server{[this](const std::string& target) -> TestHttpServer::Reply {
        if (target.starts_with("/Quillfen/")) {
            std::string expanded = answer;
            for (std::size_t at = 0; (at = expanded.find("BASE", at)) != std::string::npos;) {
                expanded.replace(at, 4, server.base());
            }
            return {200, expanded};
        }
        return {200, std::string(target.starts_with("/big/") ? 1500 : 1000, 's')};
    }};
};

// The machine key is the MD5 of what the disk identity of this system answers (under Wine
// usually nothing, which still gives the digest of the empty text).
TEST_F(VersionCheckTest, AsksWithTheFixedQueryAndStopsWhenNotOlder) {
    const std::string key =
        md5UpperHex(trimWhiteSpace(machineIdentifier(platform::WindowsDiskIdentity())));
    const std::string language = platform.system().systemLanguageEnglishName();
    const std::string languageId = std::to_string(platform.system().systemLanguageId());
    for (const std::string version : {"1.3.3.20220312", "1.3.2", "1.3.3"}) {
        answer =
            "[Begin]\r\nVer=" + version + "\r\nLink=BASE/f/setup.exe\r\nSize=1000\r\n[End]\r\n";
        check();
    }
    const std::vector<std::string> targets = server.targets();
    ASSERT_EQ(targets.size(), 3u);
    EXPECT_EQ(targets[0],
              "/Quillfen/index.asp?ask=Ver&Ver=1.3.3.20220312&ls_soft=Quillfen!"
              "&Language=" +
                  language + "&LanguageID=" + languageId + "&ID=" + key);
    EXPECT_TRUE(std::regex_match(key, std::regex("[0-9A-F]{32}"))) << key;
    EXPECT_EQ(treeOf(folder.path()),
              (std::vector<std::string>{"cache", "program", "program/quillfen.exe"}));
}

TEST_F(VersionCheckTest, ANewerVersionBringsTheAnnouncedDownloadAndNothingElse) {
    answer =
        "[Begin]\r\nVer=9.9\r\nLink=BASE/big/setup.exe;BASE/f/setup.exe;BASE/f/next.exe\r\n"
        "Size=1000\r\n[End]\r\n";
    check();
    EXPECT_EQ(server.targets().size(), 3u);
    EXPECT_EQ(treeOf(folder.path()),
              (std::vector<std::string>{
                  "cache", "cache/quillfen", "cache/quillfen/update",
                  "cache/quillfen/update/downloads", "cache/quillfen/update/downloads/setup.exe",
                  "cache/quillfen/update/quilldown.exe", "program", "program/quillfen.exe"}));
    EXPECT_EQ(fs::file_size(folder / "cache/quillfen/update/downloads/setup.exe"), 1000u);
    EXPECT_EQ(folder.readFile("program/quillfen.exe"), "program");
}

// Each check starts from an empty downloads folder: what an earlier check brought is outdated.
TEST_F(VersionCheckTest, AnEarlierDownloadGoesAndAnArchiveGoesToTheProgramFolder) {
    folder.writeFile("cache/quillfen/update/downloads/old.exe", "outdated");
    answer = "[Begin]\r\nVer=9.9\r\nLink=BASE/f/update.zip\r\nSize=1000\r\n[End]\r\n";
    check();
    EXPECT_EQ(treeOf(folder / "cache/quillfen/update"),
              (std::vector<std::string>{"downloads", "quilldown.exe"}));
    EXPECT_EQ(fs::file_size(folder / "program/update.zip"), 1000u);
}

TEST_F(VersionCheckTest, TheUpdateFolderIsAFolderInTheUsersCache) {
    const std::string expected = folder / "cache/quillfen/update/";
    EXPECT_EQ(privateUpdateFolder(), expected);
    EXPECT_EQ(privateUpdateFolder(), expected);
    EXPECT_TRUE(fs::is_directory(expected));
    EXPECT_EQ(fs::status(expected).permissions() & fs::perms::owner_write, fs::perms::owner_write);
}

TEST_F(VersionCheckTest, AFileWhereTheUpdateFolderBelongsStopsTheCheck) {
    folder.writeFile("cache/quillfen/update", "not a folder");
    answer = "[Begin]\r\nVer=9.9\r\nLink=BASE/f/setup.exe\r\nSize=1000\r\n[End]\r\n";
    check();
    EXPECT_EQ(server.targets().size(), 1u);
    EXPECT_EQ(folder.readFile("cache/quillfen/update"), "not a folder");
}

}  // namespace
}  // namespace quillfen
