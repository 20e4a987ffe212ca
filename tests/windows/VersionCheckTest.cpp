#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <windows.h>

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

const std::string kArchive = "quillfen-9.9-windows-x64.zip";
const std::string kSetup = "QuillfenSetup-9.9.exe";

// Every file and folder below `folder`, relative to it, with '/' between the names.
std::vector<std::string> treeOf(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        names.push_back(fs::relative(entry.path(), folder).generic_string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// A file the build signed with its test key: the updates of tests/windows/make_signed_updates.py,
// or the samples of tests/support/SignedUpdateSamples.cmake.
std::string signedUpdate(const std::string& name) {
    return contentOf(std::string(QUILLFEN_SIGNED_UPDATES) + "/" + name);
}
std::string signedSample(const std::string& name) {
    return contentOf(std::string(QUILLFEN_SIGNED_SAMPLES) + "/" + name);
}

bool withSignedUpdates() {
    return !std::string(QUILLFEN_SIGNED_UPDATES).empty() &&
           !std::string(QUILLFEN_SIGNED_SAMPLES).empty();
}

// The whole check in this process, as "/Update" runs it, against the test's server: the program
// seems to run from the test's "program" folder, a portable copy unless a test says otherwise,
// and the user's cache folder is the test's. The server answers the version request with
// `answer` (BASE standing for its own address) and "/f/NAME" with what `served` holds for NAME.
class VersionCheckTest : public testing::Test {
protected:
    void SetUp() override {
        folder.writeFile("program/quillfen.exe", "program");
        fs::create_directories(folder / "cache");
        platform.facts().fixedExecutablePath = folder / "program/quillfen.exe";
        platform.facts().fixedUserCacheDirectory = folder / "cache";
        platform.facts().fixedInstalledCopy = false;
        _putenv_s("QUILLFEN_UPDATE_BASE", server.base().c_str());
    }

    void TearDown() override { _putenv_s("QUILLFEN_UPDATE_BASE", ""); }

    void check() { runVersionCheck(machineIdentifier(platform.disks())); }

    void announce(const std::string& links, const std::string& size) {
        answer = "[Begin]\r\nVer=9.9\r\nLink=" + links + "\r\nSize=" + size + "\r\n[End]\r\n";
    }

    std::string downloads() const { return folder / "cache/quillfen/update/downloads"; }

    // The requests of the last check but the version request.
    std::vector<std::string> fetched(std::size_t before) const {
        const std::vector<std::string> targets = server.targets();
        return {targets.begin() + static_cast<std::ptrdiff_t>(std::min(before + 1, targets.size())),
                targets.end()};
    }

    test::TemporaryFolder folder;
    test::WindowsTestPlatform platform;
    std::string answer;
    std::map<std::string, std::string> served;
    TestHttpServer server{[this](const std::string& target) -> TestHttpServer::Reply {
        if (target.starts_with("/Quillfen/")) {
            std::string expanded = answer;
            for (std::size_t at = 0; (at = expanded.find("BASE", at)) != std::string::npos;) {
                expanded.replace(at, 4, server.base());
            }
            return {200, expanded};
        }
        const auto file = served.find(target.substr(target.find('/', 1) + 1));
        return file == served.end() ? TestHttpServer::Reply{404, "missing"}
                                    : TestHttpServer::Reply{200, file->second};
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
        answer = "[Begin]\r\nVer=" + version + "\r\nLink=BASE/f/quillfen-" + version +
                 "-windows-x64.zip\r\nSize=1000\r\n[End]\r\n";
        check();
    }
    const std::vector<std::string> targets = server.targets();
    ASSERT_EQ(targets.size(), 3u);
    EXPECT_EQ(targets[0],
              "/Quillfen/index.asp?ask=Ver&Ver=1.3.3.20220312&ls_soft=Quillfen!"
              "&Language=" +
                  language + "&LanguageID=" + languageId + "&ID=" + key);
    EXPECT_TRUE(std::regex_match(key, std::regex("[0-9A-F]{32}"))) << key;
    EXPECT_EQ(
        treeOf(folder.path()),
        (std::vector<std::string>{
            "cache", "cache/quillfen", "cache/quillfen/update", "cache/quillfen/update/downloads",
            "cache/quillfen/update/update.lock", "program", "program/quillfen.exe"}));
}

// A portable copy takes the archive, an installed one the setup, each by its name among links
// that also offer the other and files of other systems, with the size given for that link. An
// unsigned download goes again, and nothing reaches the program's folder.
TEST_F(VersionCheckTest, OnlyTheDownloadThatFitsTheCopyIsFetchedAndAnUnsignedOneGoes) {
    announce("BASE/f/quillfen-9.9-linux-x86_64.zip;BASE/f/" + kSetup + ";BASE/f/" + kArchive +
                 ";BASE/f/next.exe",
             "5;6;7;8");
    served = {{"quillfen-9.9-linux-x86_64.zip", "55555"},
              {kSetup, "666666"},
              {kArchive, "7777777"},
              {"next.exe", "88888888"},
              {kSetup + ".sig", std::string(64, 's')},
              {kArchive + ".sig", std::string(64, 's')}};
    for (const bool installed : {false, true}) {
        platform.facts().fixedInstalledCopy = installed;
        const std::size_t before = server.targets().size();
        check();
        const std::string name = installed ? kSetup : kArchive;
        EXPECT_EQ(fetched(before), (std::vector<std::string>{"/f/" + name, "/f/" + name + ".sig"}))
            << name;
        EXPECT_TRUE(treeOf(downloads()).empty()) << name;
        EXPECT_EQ(treeOf(folder / "program"), std::vector<std::string>{"quillfen.exe"}) << name;
    }
    EXPECT_EQ(treeOf(folder / "cache/quillfen/update"),
              (std::vector<std::string>{"downloads", "quilldown.exe", "update.lock"}));
}

// A signed update comes the way the copy takes it: a portable copy's archive replaces the programs
// of its folder, which is then left without the download; an installed copy's setup is started
// with "/S" and the folder last, as it stands, blanks and all (it stays among the downloads while
// it runs).
TEST_F(VersionCheckTest, ASignedUpdateArrivesTheWayTheCopyTakesIt) {
    if (!withSignedUpdates()) {
        GTEST_SKIP() << "this build trusts a release key, whose private half the tests lack";
    }
    folder.writeFile("my program/quillfen.exe", "program");
    platform.facts().fixedExecutablePath = folder / "my program/quillfen.exe";
    served = {{kArchive, signedUpdate("update.zip")},
              {kArchive + ".sig", signedUpdate("update.zip.sig")},
              {kSetup, signedUpdate("setup.exe")},
              {kSetup + ".sig", signedUpdate("setup.exe.sig")}};
    announce("BASE/f/" + kArchive + ";BASE/f/" + kSetup,
             std::to_string(served[kArchive].size()) + ";" + std::to_string(served[kSetup].size()));
    check();
    EXPECT_EQ(folder.readFile("my program/quillfen-cli.answer"), "0\nquillfen-cli 9.9\n");
    EXPECT_EQ(folder.readFile("my program/quillfen.exe"), "program");
    EXPECT_EQ(
        treeOf(folder / "my program"),
        (std::vector<std::string>{"quillfen-cli.answer", "quillfen-cli.exe", "quillfen.exe"}));
    EXPECT_TRUE(treeOf(downloads()).empty());

    platform.facts().fixedInstalledCopy = true;
    check();
    const std::string record = folder / "my program/setup.txt";
    for (int wait = 0; wait < 600 && !fs::exists(record); ++wait) {
        Sleep(100);
    }
    EXPECT_EQ(contentOf(record), folder / "my program");
    EXPECT_EQ(treeOf(downloads()), (std::vector<std::string>{kSetup, kSetup + ".sig"}));
}

// Whatever is wrong with the archive or its signature, the check leaves neither a download nor
// a trace in the program's folder, although the archive would install; so does a signed file that
// is no archive at all.
TEST_F(VersionCheckTest, ADownloadThatFailsItsChecksLeavesNothingBehind) {
    if (!withSignedUpdates()) {
        GTEST_SKIP() << "this build trusts a release key, whose private half the tests lack";
    }
    const std::string archive = signedUpdate("update.zip");
    const std::string signature = signedUpdate("update.zip.sig");
    std::string changed = archive;
    changed[changed.size() / 2] ^= 1;
    const std::string broken = signedSample("update.zip");
    const struct {
        const char* what;
        std::string body;
        std::optional<std::string> signature;
        bool signatureFetched;
    } cases[] = {
        {"signature of another file", archive, signedUpdate("setup.exe.sig"), true},
        {"no signature", archive, std::nullopt, true},
        {"signature one byte short", archive, signature.substr(1), true},
        {"signature one byte long", archive, signature + "s", true},
        {"one bit of the archive changed", changed, signature, true},
        {"another size than announced", archive + "s", signature, false},
        {"signed, but no archive", broken, signedSample("update.zip.sig"), true},
    };
    for (const auto& c : cases) {
        announce("BASE/f/" + kArchive,
                 std::to_string(c.body.size() - (c.signatureFetched ? 0 : 1)));
        served = {{kArchive, c.body}};
        if (c.signature) {
            served[kArchive + ".sig"] = *c.signature;
        }
        const std::size_t before = server.targets().size();
        check();
        std::vector<std::string> expected = {"/f/" + kArchive};
        if (c.signatureFetched) {
            expected.push_back("/f/" + kArchive + ".sig");
        }
        EXPECT_EQ(fetched(before), expected) << c.what;
        EXPECT_TRUE(treeOf(downloads()).empty()) << c.what;
        EXPECT_EQ(treeOf(folder / "program"), std::vector<std::string>{"quillfen.exe"}) << c.what;
    }
}

// Each check starts from an empty downloads folder, whatever the server says: what an earlier
// check brought is outdated. A check that finds the user's update lock taken does nothing.
TEST_F(VersionCheckTest, AnEarlierRunsDownloadsGoUnlessAnotherRunHoldsTheLock) {
    const std::vector<std::string> earlier = {"QuillfenSetup-9.8.exe",
                                              "quillfen-9.8-windows-x64.zip.sig"};
    for (const std::string& name : earlier) {
        folder.writeFile("cache/quillfen/update/downloads/" + name, "outdated");
    }
    answer = "missing";
    {
        const std::unique_ptr<platform::HeldLock> held =
            platform.files().tryLock(folder / "cache/quillfen/update/update.lock");
        ASSERT_TRUE(held);
        check();
        EXPECT_TRUE(server.targets().empty());
        EXPECT_EQ(treeOf(downloads()), earlier);
    }
    check();
    EXPECT_EQ(server.targets().size(), 1u);
    EXPECT_TRUE(treeOf(downloads()).empty());
}

TEST_F(VersionCheckTest, TheUpdateFolderIsAFolderInTheUsersCache) {
    const std::string expected = folder / "cache/quillfen/update/";
    EXPECT_EQ(privateUpdateFolder(), expected);
    EXPECT_EQ(privateUpdateFolder(), expected);
    EXPECT_TRUE(fs::is_directory(expected));
    EXPECT_EQ(fs::status(expected).permissions() & fs::perms::owner_write, fs::perms::owner_write);
}

TEST_F(VersionCheckTest, AFileWhereTheUpdateFolderBelongsStopsTheCheck) {
    announce("BASE/f/" + kArchive, "1000");
    for (const std::string path : {"cache/quillfen/update", "cache/quillfen/update/downloads"}) {
        folder.writeFile(path, "not a folder");
        check();
        EXPECT_TRUE(server.targets().empty()) << path;
        EXPECT_EQ(folder.readFile(path), "not a folder") << path;
        fs::remove(folder / path);
    }
}

}  // namespace
}  // namespace quillfen
