#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/linux/LinuxProcessLauncher.h"
#include "support/TemporaryFolder.h"

extern char** environ;

namespace quillfen::platform {
namespace {

TEST(LinuxProcessLauncher, CapturesTheOutputAndTheExitCodeAndEndsAProgramAtTheTimeLimit) {
    LinuxProcessLauncher launcher;
    const struct {
        const char* script;
        int timeoutMs;
        bool timedOut;
        int exitCode;
        const char* output;
    } cases[] = {
        {"echo quillfen 2.0; exit 3", 600000, false, 3, "quillfen 2.0\n"},
        {"echo first; echo second >&2", 600000, false, 0, "first\n"},
        {"kill -9 $$", 600000, false, 137, ""},
        {"echo started; exec sleep 600", 200, true, 137, "started\n"},
    };
    for (const auto& c : cases) {
        const CapturedRun run =
            launcher.runCapturingOutput({"/bin/sh", "-c", c.script}, c.timeoutMs);
        EXPECT_TRUE(run.started) << c.script;
        EXPECT_EQ(run.timedOut, c.timedOut) << c.script;
        EXPECT_EQ(run.exitCode, c.exitCode) << c.script;
        EXPECT_EQ(run.output, c.output) << c.script;
    }
    EXPECT_FALSE(launcher.runCapturingOutput({"/no/such/program", "--version"}, 600000).started);
    EXPECT_EQ(launcher.programFileName("quillfen-cli"), "quillfen-cli");
}

TEST(LinuxProcessLauncher, FindsTheOtherProgramsRunningFromAFolderUntilTheyEnd) {
    const test::TemporaryFolder folder;
    std::filesystem::create_directories(folder / "inner");
    std::filesystem::create_directories(folder / "other");
    std::string program = folder / "inner/holder";
    std::filesystem::copy_file("/bin/sleep", program);
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    std::vector<char*> argv = {program.data(), const_cast<char*>("600"), nullptr};
    pid_t child = 0;
    ASSERT_EQ(::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ), 0);

    const LinuxProcessLauncher launcher;
    const auto runsFrom = [&](const std::string& path) {
        const std::vector<int> found = launcher.othersRunningFrom(path);
        return std::find(found.begin(), found.end(), child) != found.end();
    };
    EXPECT_TRUE(runsFrom(folder.path()));
    EXPECT_TRUE(runsFrom(folder / "inner/"));
    EXPECT_TRUE(runsFrom(folder / "other/../inner"));
    EXPECT_FALSE(runsFrom(folder / "inn"));
    EXPECT_FALSE(runsFrom(folder / "other"));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_FALSE(runsFrom(folder.path()));

    const std::string self = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    const std::vector<int> besideSelf = launcher.othersRunningFrom(self);
    EXPECT_EQ(std::count(besideSelf.begin(), besideSelf.end(), ::getpid()), 0);
}

}  // namespace
}  // namespace quillfen::platform
