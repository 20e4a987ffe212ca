#include "app/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/IniDocument.h"
#include "platform/Platform.h"
#include "platform/linux/LinuxFileSystem.h"
#include "support/IniFileWriters.h"
#include "support/TemporaryFolder.h"

// The file store's cases that rest on POSIX: pipes, symbolic links, permission bits, and writers
// that die or run in processes of their own (fork).
namespace quillfen {
namespace {

using test::formOf;
using test::kKeysPerWriter;
using test::kWriters;
using test::utf16leWithMark;
using test::writeAllKeys;

namespace fs = std::filesystem;
using Encoding = IniDocument::Encoding;

constexpr int kInterrupted = 3;
constexpr int kNotInterrupted = 4;

// The installed platform, except that every file replacement dies just before its rename.
class InterruptedWritePlatform : public platform::Platform {
public:
    InterruptedWritePlatform()
        : base_(platform::currentPlatform()),
          files_([](const std::string&) { ::_exit(kInterrupted); }) {}

    platform::FileSystem& files() override { return files_; }
    platform::ProcessLauncher& processes() override { return base_.processes(); }
    platform::SystemInfo& system() override { return base_.system(); }
    platform::TextServices& text() override { return base_.text(); }
    platform::Clock& clock() override { return base_.clock(); }
    platform::Volumes& volumes() override { return base_.volumes(); }
    platform::FileTypes& fileTypes() override { return base_.fileTypes(); }
    platform::HttpClient& http() override { return base_.http(); }
    platform::ProgramResources& resources() override { return base_.resources(); }
    platform::DiskIdentity& disks() override { return base_.disks(); }
    platform::Digests& digests() override { return base_.digests(); }
    platform::SignatureVerifier& signatures() override { return base_.signatures(); }

private:
    platform::Platform& base_;
    platform::LinuxFileSystem files_;
};

std::vector<std::string> temporaryFilesIn(const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with(".settings.ini.")) {
            found.push_back(entry.path());
        }
    }
    return found;
}

int exitCodeOf(pid_t child) {
    int status = 0;
    pid_t waited = 0;
    do {
        waited = ::waitpid(child, &status, 0);
    } while (waited < 0 && errno == EINTR);
    return waited == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A pipe would stall the program at its first read or write; a link to a missing file leads
// nowhere the store should create.
TEST(IniFile, PipesAndDanglingLinksAreNoFilesAndStayAsTheyAre) {
    const test::TemporaryFolder folder;
    const std::string pipe = folder / "pipe.ini";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    fs::create_symlink("pipe.ini", folder / "to-pipe.ini");
    fs::create_symlink("missing.ini", folder / "dangling.ini");
    for (const std::string name : {"pipe.ini", "to-pipe.ini", "dangling.ini"}) {
        EXPECT_EQ(readIniValue(folder / name, "s", "k"), "") << name;
        EXPECT_FALSE(writeIniValue(folder / name, "s", "k", "1")) << name;
    }
    EXPECT_EQ(fs::symlink_status(pipe).type(), fs::file_type::fifo);
    EXPECT_TRUE(fs::is_symlink(folder / "to-pipe.ini"));
    EXPECT_TRUE(fs::is_symlink(folder / "dangling.ini"));
    EXPECT_FALSE(fs::exists(folder / "missing.ini"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 3);
}

// A file with no write permission at all is read-only for everyone, the superuser included.
TEST(IniFile, AReadOnlyFileIsReadButNotWritten) {
    const test::TemporaryFolder folder;
    const std::string before = "[s]\r\nk=1\r\n";
    folder.writeFile("settings.ini", before);
    fs::permissions(folder / "settings.ini", fs::perms::owner_read | fs::perms::others_read);
    EXPECT_EQ(readIniValue(folder / "settings.ini", "s", "k"), "1");
    EXPECT_FALSE(writeIniValue(folder / "settings.ini", "s", "k", "2"));
    EXPECT_FALSE(writeIniValue(folder / "settings.ini", "s", "new", "2"));
    EXPECT_EQ(folder.readFile("settings.ini"), before);
    EXPECT_EQ(fs::status(folder / "settings.ini").permissions(),
              fs::perms::owner_read | fs::perms::others_read);
}

// Others may write this file, its owner may not; what counts is what the user running the program
// may do, which the superuser's permissions would hide.
TEST(IniFile, AFileItsUserMayNotWriteIsNotWritten) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "the superuser may write any file that has a write permission";
    }
    const test::TemporaryFolder folder;
    folder.writeFile("settings.ini", "[s]\r\nk=1\r\n");
    fs::permissions(folder / "settings.ini", fs::perms::owner_read | fs::perms::others_all);
    EXPECT_FALSE(writeIniValue(folder / "settings.ini", "s", "k", "2"));
    EXPECT_EQ(folder.readFile("settings.ini"), "[s]\r\nk=1\r\n");
}

TEST(IniFile, ALinkedFileIsEditedWhereItLivesAndTheLinkStays) {
    const test::TemporaryFolder folder;
    fs::create_directories(folder / "real");
    fs::create_directories(folder / "links");
    folder.writeFile("real/settings.ini", "[s]\r\nk=1\r\n");
    folder.writeFile("real/locked.ini", "[s]\r\nk=1\r\n");
    fs::permissions(folder / "real/locked.ini", fs::perms::owner_read);
    fs::create_symlink("../real/settings.ini", folder / "links/first.ini");
    fs::create_symlink("first.ini", folder / "links/second.ini");
    fs::create_symlink(folder / "real/locked.ini", folder / "links/locked.ini");

    EXPECT_TRUE(writeIniValue(folder / "links/second.ini", "s", "k", "2"));
    EXPECT_TRUE(writeIniValue(folder / "links/first.ini", "s", "j", "3"));
    EXPECT_FALSE(writeIniValue(folder / "links/locked.ini", "s", "k", "2"));

    EXPECT_EQ(folder.readFile("real/settings.ini"), "[s]\r\nk=2\r\nj=3\r\n");
    EXPECT_EQ(folder.readFile("real/locked.ini"), "[s]\r\nk=1\r\n");
    for (const std::string name : {"first.ini", "second.ini", "locked.ini"}) {
        EXPECT_TRUE(fs::is_symlink(folder / ("links/" + name))) << name;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "links"), {}), 3);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "real"), {}), 2);
}

struct InterruptedCase {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* previousValue;
};

class IniFileInterruptedWrite : public testing::TestWithParam<InterruptedCase> {};

TEST_P(IniFileInterruptedWrite, LeavesTheOldFileWhole) {
    const InterruptedCase& c = GetParam();
    const test::TemporaryFolder folder;
    const std::string file = folder / "settings.ini";
    folder.writeFile("settings.ini", c.before);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InterruptedWritePlatform dying;
        platform::installPlatform(&dying);
        writeIniValue(file, c.section, c.key, "changed");
        ::_exit(kNotInterrupted);
    }
    ASSERT_EQ(exitCodeOf(child), kInterrupted);
    const std::vector<std::string> leftOver = temporaryFilesIn(folder.path());
    ASSERT_EQ(leftOver.size(), 1u);

    EXPECT_EQ(folder.readFile("settings.ini"), c.before);
    EXPECT_EQ(readIniValue(file, c.section, c.key), c.previousValue);
    EXPECT_EQ(readIniValue(file, "Config", "Kept"), "yes");
    // The dead writer's lock went with it.
    EXPECT_TRUE(writeIniValue(file, c.section, c.key, "changed"));
    EXPECT_EQ(readIniValue(file, c.section, c.key), "changed");
    EXPECT_EQ(formOf(folder.readFile("settings.ini")), formOf(c.before));
    EXPECT_EQ(temporaryFilesIn(folder.path()), leftOver) << "too young to be known as stale";

    // Once it is old enough, the next write clears away what the dead writer left.
    fs::last_write_time(leftOver.front(),
                        fs::file_time_type::clock::now() - std::chrono::minutes(5));
    EXPECT_TRUE(writeIniValue(file, c.section, c.key, "again"));
    EXPECT_EQ(temporaryFilesIn(folder.path()), std::vector<std::string>{});
}

// The name appears only with the whole contents: a writer killed before that leaves no empty file
// that later runs would take for the real one.
TEST(IniFile, AWriterKilledWhileCreatingAFileLeavesNoFile) {
    const test::TemporaryFolder folder;
    const std::string file = folder / "settings.ini";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InterruptedWritePlatform dying;
        platform::installPlatform(&dying);
        writeIniValue(file, "Config", "Kept", "yes");
        ::_exit(kNotInterrupted);
    }
    ASSERT_EQ(exitCodeOf(child), kInterrupted);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(writeIniValue(file, "Config", "Kept", "yes"));
    EXPECT_EQ(folder.readFile("settings.ini"), "[Config]\r\nKept=yes\r\n");
    // A new file gets the permissions any new file of the user gets.
    folder.writeFile("plain", "");
    EXPECT_EQ(fs::status(file).permissions(), fs::status(folder / "plain").permissions());
}

INSTANTIATE_TEST_SUITE_P(
    Ini, IniFileInterruptedWrite,
    testing::Values(InterruptedCase{"ChangedKey", "[Config]\r\nKept=yes\r\nLanguageID=1033\r\n",
                                    "Config", "LanguageID", "1033"},
                    InterruptedCase{"NewSection", "[Config]\r\nKept=yes\r\n", "Search", "Last", ""},
                    InterruptedCase{"Utf16File",
                                    utf16leWithMark(u"[Config]\r\nKept=yes\r\nName=中文\r\n"),
                                    "Config", "Name", "中文"}),
    [](const testing::TestParamInfo<InterruptedCase>& tested) {
        return std::string(tested.param.name);
    });

void writeFromProcesses(const std::string& file) {
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(gate[1]);
            char ignored = 0;
            while (::read(gate[0], &ignored, 1) < 0 && errno == EINTR) {
            }
            ::_exit(writeAllKeys(file, writer) ? 0 : 1);
        }
        children.push_back(child);
    }
    // Closing the gate's write end releases every writer at once.
    ::close(gate[0]);
    ::close(gate[1]);
    for (const pid_t child : children) {
        EXPECT_EQ(exitCodeOf(child), 0);
    }
}

struct StartingFile {
    const char* name;
    std::optional<std::string> bytes;
    Encoding form;
};

class IniFileConcurrentProcesses : public testing::TestWithParam<StartingFile> {};

TEST_P(IniFileConcurrentProcesses, LoseNoKey) {
    const StartingFile& start = GetParam();
    const test::TemporaryFolder folder;
    const std::string file = folder / "settings.ini";
    if (start.bytes) {
        folder.writeFile("settings.ini", *start.bytes);
    }

    writeFromProcesses(file);

    test::expectEveryWritersKeys(file);
    EXPECT_EQ(formOf(folder.readFile("settings.ini")), start.form);
    if (start.bytes) {
        EXPECT_EQ(readIniValue(file, "Config", "Kept"), "yes");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ini, IniFileConcurrentProcesses,
    testing::Values(StartingFile{"Missing", std::nullopt, Encoding::EightBit},
                    StartingFile{"EightBit", "[Config]\nKept=yes\n", Encoding::EightBit},
                    StartingFile{"Utf16", utf16leWithMark(u"[Config]\r\nKept=yes\r\n"),
                                 Encoding::Utf16leWithBom}),
    [](const testing::TestParamInfo<StartingFile>& tested) {
        return std::string(tested.param.name);
    });

}  // namespace
}  // namespace quillfen
