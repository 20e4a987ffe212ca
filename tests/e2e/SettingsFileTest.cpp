#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr const char* kEnglish = "Folder not exists: %s";
constexpr const char* kChinese = "文件夹不存在 %s";
constexpr const char* kGerman = "Ordner fehlt: %s";
// Far longer than a run takes; only a hanging program reaches it.
constexpr int kTimeLimitMs = 60000;
constexpr int kKilled = 128 + SIGKILL;

std::string settingsFileName() {
    std::string user = test::runProgram("/usr/bin/id", {"-un"}).out;
    user.pop_back();
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    return user + "." + host + ".ini";
}

bool isFifo(const std::string& path) {
    return fs::symlink_status(path).type() == fs::file_type::fifo;
}

// Runs a private copy of the command-line program on a missing folder, on a Chinese system: the
// message it prints passes through the language table, which reads "LanguageID" from the settings
// file beside the program and adds missing keys to both files.
class SettingsFileTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder / "program/Language");
        fs::copy_file(QUILLFEN_CLI_PATH, folder / "program/quillfen-cli");
        folder.writeFile("program/Language/2052.ini",
                         std::string("[Translate]\r\n") + kEnglish + "=" + kChinese + "\r\n");
        folder.writeFile("program/Language/1031.ini",
                         std::string("[Translate]\r\n") + kEnglish + "=" + kGerman + "\r\n");
    }

    std::string settingsFile() const { return folder / ("program/" + settingsFileName()); }
    std::string languageFile(const std::string& id) const {
        return folder / ("program/Language/" + id + ".ini");
    }

    test::ProgramResult run() const {
        return test::runProgramWithin(
            folder / "program/quillfen-cli", {"find", "--in", folder / "nowhere"},
            {"LANG=zh_CN.UTF-8", "LC_ALL=", "LC_MESSAGES=", "HOME=" + folder.path(),
             "XDG_DATA_HOME=" + (folder / "data"), "XDG_CONFIG_HOME=" + (folder / "config")},
            kTimeLimitMs);
    }

    // The message names the missing folder in place of its "%s".
    void expectMessage(const test::ProgramResult& result, std::string message) const {
        message.replace(message.find("%s"), 2, folder / "nowhere");
        EXPECT_EQ(result.exitCode, 2) << result.err;
        EXPECT_EQ(result.err, "quillfen-cli: " + message + "\n");
    }

    test::TemporaryFolder folder;
};

TEST_F(SettingsFileTest, AUtf8MarkHidesNeitherTheFirstSectionNorItself) {
    const std::string before = std::string(kUtf8Mark) + "[Config]\r\nLanguageID=1031\r\n";
    folder.writeFile("program/" + settingsFileName(), before);
    expectMessage(run(), kGerman);
    EXPECT_EQ(folder.readFile("program/" + settingsFileName()), before);
}

TEST_F(SettingsFileTest, ALanguageIdThatIsNoNumberNamesNoFileAndTheSystemLanguageServes) {
    fs::create_directories(folder / "escape");
    for (const std::string id : {"../../escape/x", "1031.ini", "-1031"}) {
        const std::string before = "[Config]\r\nLanguageID=" + id + "\r\n";
        folder.writeFile("program/" + settingsFileName(), before);
        expectMessage(run(), kChinese);
        EXPECT_TRUE(fs::is_empty(folder / "escape")) << id;
        EXPECT_EQ(folder.readFile("program/" + settingsFileName()), before) << id;
    }
    const auto languageFiles =
        std::distance(fs::directory_iterator(folder / "program/Language"), {});
    EXPECT_EQ(languageFiles, 2) << "no language file of another name is made";
}

TEST_F(SettingsFileTest, APipeInPlaceOfTheSettingsOrLanguageFileIsPassedOver) {
    const struct {
        std::string path;
        const char* message;
    } cases[] = {
        {settingsFile(), kChinese},
        {languageFile("2052"), kEnglish},
    };
    for (const auto& c : cases) {
        fs::remove(c.path);
        ASSERT_EQ(::mkfifo(c.path.c_str(), 0644), 0) << c.path;
        const test::ProgramResult result = run();
        ASSERT_NE(result.exitCode, kKilled) << "hung on " << c.path;
        expectMessage(result, c.message);
        EXPECT_TRUE(isFifo(c.path)) << c.path;
        fs::remove(c.path);
        folder.writeFile("program/Language/2052.ini",
                         std::string("[Translate]\r\n") + kEnglish + "=" + kChinese + "\r\n");
    }
}

// Files without any write permission, which even the superuser's run leaves alone.
TEST_F(SettingsFileTest, ReadOnlyFilesAreNotRewritten) {
    const std::string settings = "[Config]\r\nEditor=gedit\r\n";
    const std::string language = "[Config]\r\nLanguageName=Chinese\r\n";
    folder.writeFile("program/" + settingsFileName(), settings);
    folder.writeFile("program/Language/2052.ini", language);
    fs::permissions(settingsFile(), fs::perms::owner_read | fs::perms::group_read);
    fs::permissions(languageFile("2052"), fs::perms::owner_read | fs::perms::group_read);

    expectMessage(run(), kEnglish);
    EXPECT_EQ(folder.readFile("program/" + settingsFileName()), settings);
    EXPECT_EQ(folder.readFile("program/Language/2052.ini"), language);
    EXPECT_EQ(fs::status(settingsFile()).permissions(),
              fs::perms::owner_read | fs::perms::group_read);
}

TEST_F(SettingsFileTest, ALinkedSettingsFileIsEditedWhereItLivesAndStaysALink) {
    fs::create_directories(folder / "elsewhere");
    fs::create_symlink("../elsewhere/real.ini", settingsFile());
    for (const bool writable : {true, false}) {
        const std::string before = "[Config]\r\nEditor=gedit\r\n";
        folder.writeFile("elsewhere/real.ini", before);
        fs::permissions(
            folder / "elsewhere/real.ini",
            writable ? fs::perms::owner_read | fs::perms::owner_write : fs::perms::owner_read);

        expectMessage(run(), kChinese);
        EXPECT_TRUE(fs::is_symlink(settingsFile()));
        EXPECT_EQ(folder.readFile("elsewhere/real.ini"),
                  writable ? before + "LanguageID=2052\r\n" : before)
            << (writable ? "writable" : "read-only");
        const auto entries = std::distance(fs::directory_iterator(folder / "elsewhere"), {});
        EXPECT_EQ(entries, 1) << "no temporary file is left beside the target";
    }
}

TEST_F(SettingsFileTest, OnlyStaleTemporariesOfTheSettingsFileAreRemovedByTheNextWrite) {
    folder.writeFile("program/" + settingsFileName(), "[Config]\r\nEditor=gedit\r\n");
    const std::string ours = "." + settingsFileName() + ".";
    const std::string stale = ours + "a1B2c3";
    const std::string locked = ours + "Locked";
    const std::vector<std::string> others = {
        ours + "a1B2c3d",
        ours + "a1B2-3",
        ".other.ini.a1B2c3",
        settingsFileName() + ".a1B2c3",
        // A fresh one may belong to a writer that has only just created it.
        ours + "Fresh0",
    };
    for (const std::string& name : others) {
        folder.writeFile("program/" + name, "kept");
    }
    const auto hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const std::string& name : {stale, locked, others[0], others[1], others[2], others[3]}) {
        if (!fs::exists(folder / ("program/" + name))) {
            folder.writeFile("program/" + name, "old");
        }
        fs::last_write_time(folder / ("program/" + name), hourAgo);
    }
    const std::string lockedPath = folder / ("program/" + locked);
    const int lockedFd = ::open(lockedPath.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(lockedFd, 0);
    ASSERT_EQ(::flock(lockedFd, LOCK_EX), 0);

    expectMessage(run(), kChinese);
    ::close(lockedFd);
    EXPECT_EQ(folder.readFile("program/" + settingsFileName()),
              "[Config]\r\nEditor=gedit\r\nLanguageID=2052\r\n");
    EXPECT_FALSE(fs::exists(folder / ("program/" + stale)));
    EXPECT_TRUE(fs::exists(lockedPath)) << "a live writer's temporary file stays";
    for (const std::string& name : others) {
        EXPECT_TRUE(fs::exists(folder / ("program/" + name))) << name;
    }
}

}  // namespace
}  // namespace quillfen
