#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "WindowsTestPlatform.h"
#include "platform/windows/WindowsSystemInfo.h"
#include "support/TemporaryFolder.h"
#include "support/TestHttpServer.h"
#include "update/UpdateApply.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::TestHttpServer;

// The folder of the test program, where the build puts quilldown.exe beside it.
std::string buildFolder() {
    const std::string self = platform::WindowsSystemInfo().executablePath();
    return self.substr(0, self.rfind('\\') + 1);
}

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The update as the program carries it out: the downloader restored from the test program's own
// resource "BIN" 130 into a private update folder and run from there, against the test's server,
// for a program that seems to run from the test's "program" folder.
class UpdateApplyTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder / "update/downloads");
        folder.writeFile("program/quillfen.exe", "program");
        platform.facts().fixedExecutablePath = folder / "program/quillfen.exe";
    }

    std::string downloader() const { return folder / "update/quilldown.exe"; }
    std::string downloads() const { return folder / "update/downloads/"; }

    int download(const std::string& links, const std::string& size) {
        std::string expanded = links;
        for (std::size_t at = 0; (at = expanded.find("BASE", at)) != std::string::npos;) {
            expanded.replace(at, 4, server.base());
        }
        return downloadUpdate(downloader(), expanded, size, folder / "program", true, downloads());
    }

    test::TemporaryFolder folder;
    test::WindowsTestPlatform platform;
    TestHttpServer::Reply reply{200, std::string(1000, 's')};
    TestHttpServer server{[this](const std::string& target) -> TestHttpServer::Reply {
        return target.starts_with("/short/") ? TestHttpServer::Reply{200, "999"} : reply;
    }};
};

TEST_F(UpdateApplyTest, RestoresTheDownloaderFromTheResourceAndLeavesNoWorkFile) {
    folder.writeFile("update/quilldown.exe", "an older downloader");
    ASSERT_TRUE(installDownloader(downloader()));
    EXPECT_EQ(folder.readFile("update/quilldown.exe"), contentOf(buildFolder() + "quilldown.exe"));
    EXPECT_EQ(namesIn(folder / "update"), (std::vector<std::string>{"downloads", "quilldown.exe"}));
}

// A copy that a killed run unpacked is named after a process that no longer runs.
TEST_F(UpdateApplyTest, ClearsTheCopiesOfKilledRunsAndNothingThatLooksAlike) {
    folder.writeFile("update/quilldown.exe.999999999", "copy of a killed run");
    folder.writeFile("update/quilldown.exe.12a", "not ours");
    fs::create_directories(folder / "update/quilldown.exe.999999998");
    ASSERT_TRUE(installDownloader(downloader()));
    EXPECT_EQ(namesIn(folder / "update"),
              (std::vector<std::string>{"downloads", "quilldown.exe", "quilldown.exe.12a",
                                        "quilldown.exe.999999998"}));
}

TEST_F(UpdateApplyTest, ADownloadWithTheAnnouncedSizeLandsInTheDownloadsFolder) {
    ASSERT_TRUE(installDownloader(downloader()));
    EXPECT_EQ(download("BASE/short/setup.exe;BASE/f/setup.exe;BASE/f/never.exe", "1000"), 0);
    EXPECT_EQ(server.targets(), (std::vector<std::string>{"/short/setup.exe", "/f/setup.exe"}));
    EXPECT_EQ(namesIn(downloads()), std::vector<std::string>{"setup.exe"});
    EXPECT_EQ(fs::file_size(downloads() + "setup.exe"), 1000u);
    EXPECT_EQ(namesIn(folder / "program"), std::vector<std::string>{"quillfen.exe"});
}

TEST_F(UpdateApplyTest, ADownloadOfAnotherSizeIsRemoved) {
    ASSERT_TRUE(installDownloader(downloader()));
    for (const char* size : {"999", "1001", "999999999999", "1073741825"}) {
        EXPECT_EQ(download("BASE/f/setup.exe", size), -1) << size;
        EXPECT_TRUE(namesIn(downloads()).empty()) << size;
    }
}

// An archive never has the announced size of a file, so every archive link is tried in turn.
TEST_F(UpdateApplyTest, AnArchiveLandsInTheProgramFolder) {
    reply = {200, "PK345"};
    ASSERT_TRUE(installDownloader(downloader()));
    EXPECT_EQ(download("BASE/f/Update.ZIP;BASE/g/next.zip_", "5"), -1);
    EXPECT_EQ(server.targets().size(), 2u);
    EXPECT_EQ(folder.readFile("program/Update.ZIP"), "PK345");
    EXPECT_EQ(folder.readFile("program/next.zip_"), "PK345");
    EXPECT_TRUE(namesIn(downloads()).empty());
}

// Whatever follows "?" or "#" is no file name ending: such a download stays out of the program's
// folder, and the program is never overwritten.
TEST_F(UpdateApplyTest, ALinkEndingInZipBehindItsPathNeverReachesTheProgramFolder) {
    reply = {200, "EVIL!"};
    ASSERT_TRUE(installDownloader(downloader()));
    for (const std::string link : {"BASE/f/quillfen.exe?.zip", "BASE/f/quillfen.exe#x.zip",
                                   "BASE/f/quillfen.exe?x=/../quillfen.zip"}) {
        download(link, "1000");
        EXPECT_EQ(namesIn(folder / "program"), std::vector<std::string>{"quillfen.exe"}) << link;
        EXPECT_EQ(folder.readFile("program/quillfen.exe"), "program") << link;
        EXPECT_TRUE(namesIn(downloads()).empty()) << link;
    }
    EXPECT_EQ(server.targets().size(), 3u);
}

TEST_F(UpdateApplyTest, WithoutTheDownloaderNoLinkSucceeds) {
    EXPECT_EQ(download("BASE/f/setup.exe", "1000"), -1);
    EXPECT_TRUE(server.targets().empty());
}

}  // namespace
}  // namespace quillfen
