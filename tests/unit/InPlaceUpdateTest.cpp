#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/PlatformOverlay.h"
#include "support/ProgramFolderFixture.h"
#include "support/VersionProgram.h"
#include "support/ZipBuilder.h"
#include "update/InPlaceUpdate.h"

namespace quillfen {
namespace {

using test::ZipMember;
using Members = std::vector<ZipMember>;
using Snapshot = std::map<std::string, std::string>;
using Result = InPlaceUpdate::Result;

// A kill of the updating process, right after the step it interrupts.
struct Killed {};

// Counts the steps that change files or run a program, and kills the update after the chosen
// one; a limit of 0 kills nothing.
class Steps {
public:
    void take() {
        if (++taken == killAfter) {
            throw Killed{};
        }
    }
    int taken = 0;
    int killAfter = 0;
    // The step that ran the new program.
    int checkStep = 0;
};

class KillableFileSystem final : public platform::FileSystem {
public:
    KillableFileSystem(platform::FileSystem& real, Steps& steps) : real_(real), steps_(steps) {}

    char separator() const override { return real_.separator(); }
    std::size_t rootLength(std::string_view path) const override { return real_.rootLength(path); }
    platform::EntryKind kindOf(const std::string& path) const override {
        return real_.kindOf(path);
    }
    bool isWritableDirectory(const std::string& path) const override {
        return real_.isWritableDirectory(path);
    }
    std::optional<std::string> readFile(const std::string& path) const override {
        return real_.readFile(path);
    }
    bool listFolder(const std::string& folder, std::vector<platform::FolderEntry>& entries,
                    const std::atomic<bool>& stop, const platform::StatusWanted& statusWanted,
                    std::string* failure) const override {
        return real_.listFolder(folder, entries, stop, statusWanted, failure);
    }
    platform::EntryStatus entryStatus(const std::string& path) const override {
        return real_.entryStatus(path);
    }
    platform::EntryStatus targetStatus(const std::string& path) const override {
        return real_.targetStatus(path);
    }
    std::unique_ptr<platform::InputFile> openForContent(const std::string& path,
                                                        std::string* failure) const override {
        return real_.openForContent(path, failure);
    }
    std::unique_ptr<platform::RandomAccessFile> openForRandomAccess(
        const std::string& path) const override {
        return real_.openForRandomAccess(path);
    }
    std::string createPrivateTemporaryFolder(const std::string& prefix) override {
        return real_.createPrivateTemporaryFolder(prefix);
    }

    bool createDirectory(const std::string& path) override {
        return step(real_.createDirectory(path));
    }
    bool editFile(const std::string& path, const FileEdit& edit) override {
        return step(real_.editFile(path, edit));
    }
    bool copyFile(const std::string& from, const std::string& to) override {
        return step(real_.copyFile(from, to));
    }
    std::optional<std::string> saveFile(const std::string& path,
                                        std::string_view contents) override {
        auto failure = real_.saveFile(path, contents);
        steps_.take();
        return failure;
    }
    bool removeFile(const std::string& path) override { return step(real_.removeFile(path)); }
    bool createNewFile(const std::string& path, std::string_view contents) override {
        return step(real_.createNewFile(path, contents));
    }
    bool setWriteTime(const std::string& path, platform::FileTime time) override {
        return step(real_.setWriteTime(path, time));
    }
    bool setAccess(const std::string& path, platform::FileAccess access) override {
        return step(real_.setAccess(path, access));
    }
    bool restoreAccess(const std::string& path, const platform::ArchivedAccess& access) override {
        return step(real_.restoreAccess(path, access));
    }
    bool renameEntry(const std::string& from, const std::string& to) override {
        return step(real_.renameEntry(from, to));
    }
    bool removeFolder(const std::string& path) override { return step(real_.removeFolder(path)); }
    bool keepCopy(const std::string& from, const std::string& to) override {
        return step(real_.keepCopy(from, to));
    }

private:
    bool step(bool done) {
        steps_.take();
        return done;
    }

    platform::FileSystem& real_;
    Steps& steps_;
};

// The real processes; a run of a program counts as a step, and the other programs of the folder
// are made up.
class KillableProcesses final : public platform::ProcessLauncher {
public:
    KillableProcesses(platform::ProcessLauncher& real, Steps& steps) : real_(real), steps_(steps) {}

    bool launch(const std::vector<std::string>& arguments,
                const platform::LaunchOptions& options) override {
        return real_.launch(arguments, options);
    }
    platform::CapturedRun runCapturingOutput(const std::vector<std::string>& arguments,
                                             int timeoutMs) override {
        platform::CapturedRun run = real_.runCapturingOutput(arguments, timeoutMs);
        steps_.checkStep = steps_.taken + 1;
        steps_.take();
        return run;
    }
    // The test's folders run no programs; the system's own answer has tests of its own.
    std::vector<int> othersRunningFrom(const std::string&) const override { return others; }
    std::string programFileName(std::string_view name) const override {
        return real_.programFileName(name);
    }

    std::vector<int> others;

private:
    platform::ProcessLauncher& real_;
    Steps& steps_;
};

Members oldProgram() {
    Members files = test::versionProgram("quillfen-cli 1.0");
    files.push_back({"quillfen", "old window program"});
    files.push_back({"Language/1033.ini", "[Translate]\r\nFind=Look for\r\n"});
    files.push_back({"anna.desk7.ini", "[Config]\r\nLanguageID=1031\r\n"});
    files.push_back({"notes.txt", "the user's own notes"});
    return files;
}

// Version 2.0 as its archive holds it; the command-line program answers as given.
Members newProgram(const std::string& answer = "quillfen-cli 2.0", int exitCode = 0) {
    Members files = test::versionProgram(answer, exitCode);
    files.push_back({"quillfen", "new window program", 0100755});
    files.push_back({"Language/1033.ini", "[Translate]\r\nFind=Find\r\n"});
    files.push_back({"Language/1031.ini", "[Translate]\r\nFind=Suchen\r\n"});
    files.push_back({"LICENSE", "MIT"});
    files.push_back({"docs/", "", 040755});
    files.push_back({"docs/manual/guide.txt", "how to search"});
    return files;
}

class InPlaceUpdateTest : public test::ProgramFolderFixture {
protected:
    void SetUp() override {
        ProgramFolderFixture::SetUp();
        install(oldProgram());
        before = snapshot();
        after = before;
        for (const ZipMember& member : newProgram()) {
            if (!member.name.ends_with('/') && member.name != "Language/1033.ini") {
                after["prog/" + member.name] = member.contents;
            }
        }
    }

    void install(const Members& files) const {
        std::filesystem::remove_all(folder / "prog");
        for (const ZipMember& file : files) {
            folder.writeFile("prog/" + file.name, file.contents);
            if ((file.unixMode & 0100) != 0) {
                std::filesystem::permissions(folder / ("prog/" + file.name),
                                             std::filesystem::perms::owner_all);
            }
        }
    }

    std::string archive(const Members& members) const {
        folder.writeFile("update.zip", test::zipArchive(members));
        return folder / "update.zip";
    }

    // Every file under the temporary folder but the archive, by its name there.
    Snapshot snapshot() const {
        Snapshot files;
        const std::filesystem::path root(folder.path());
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            const std::string name = entry.path().lexically_relative(root).generic_string();
            if (entry.is_regular_file() && name != "update.zip") {
                files[name] = folder.readFile(name);
            }
        }
        return files;
    }

    bool workFolderExists() const {
        return std::filesystem::exists(folder / "prog/.quillfen-update");
    }

    std::string prog() const { return folder / "prog"; }

    Snapshot before;
    Snapshot after;
};

TEST_F(InPlaceUpdateTest, AGoodUpdateReplacesAddsAndKeepsTheUsersFiles) {
    const auto outcome = InPlaceUpdate::apply(archive(newProgram()), prog(), "2.0");
    EXPECT_EQ(outcome.result, Result::Updated) << outcome.reason;
    EXPECT_EQ(snapshot(), after);
    EXPECT_FALSE(workFolderExists());
    EXPECT_EQ(InPlaceUpdate::resumeInterrupted(prog()).result, Result::NothingToDo);
}

TEST_F(InPlaceUpdateTest, HostileArchivesAreRefusedAndChangeNothing) {
    const auto withProgram = [](Members extra) {
        Members members = test::versionProgram("quillfen-cli 2.0");
        members.insert(members.end(), extra.begin(), extra.end());
        return members;
    };
    const std::string good = test::zipArchive(newProgram());
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"parent folder", test::zipArchive(withProgram({{"../escape.txt", "x"}}))},
        {"parent inside", test::zipArchive(withProgram({{"Language/../../escape.txt", "x"}}))},
        {"absolute path", test::zipArchive(withProgram({{"/tmp/escape.txt", "x"}}))},
        {"drive letter", test::zipArchive(withProgram({{"C:/escape.txt", "x"}}))},
        {"drive relative", test::zipArchive(withProgram({{"C:escape.txt", "x"}}))},
        {"backslash", test::zipArchive(withProgram({{"..\\escape.txt", "x"}}))},
        {"link", test::zipArchive(withProgram({{"quillfen", "/etc/passwd", 0120777}}))},
        {"device", test::zipArchive(withProgram({{"fifo", "", 0010644}}))},
        {"duplicate", test::zipArchive(withProgram({{"LICENSE", "a"}, {"LICENSE", "b"}}))},
        {"case twin", test::zipArchive(withProgram({{"LICENSE", "a"}, {"license", "b"}}))},
        {"file and folder", test::zipArchive(withProgram({{"docs", "a"}, {"docs/x", "b"}}))},
        {"work folder", test::zipArchive(withProgram({{".quillfen-update/journal", "x"}}))},
        {"device name", test::zipArchive(withProgram({{"Language/aux.ini", "x"}}))},
        {"wildcard", test::zipArchive(withProgram({{"a?b", "x"}}))},
        {"trailing dot", test::zipArchive(withProgram({{"name.", "x"}}))},
        {"control character", test::zipArchive(withProgram({{"a\nb", "x"}}))},
        {"empty segment", test::zipArchive(withProgram({{"docs//x", "x"}}))},
        {"missing program", test::zipArchive({{"quillfen", "new"}})},
        {"program in a folder",
         test::zipArchive({{"bin/" + test::commandLineProgramName(), "#!/bin/sh\n", 0100755}})},
        {"too large", test::zipArchive(withProgram({{"big", "x", 0100644, 600u << 20}}))},
        {"too large in all", test::zipArchive(withProgram({{"big1", "x", 0100644, 300u << 20},
                                                           {"big2", "x", 0100644, 300u << 20}}))},
        {"truncated", good.substr(0, good.size() / 2)},
        {"cut inside an entry", good.substr(0, 200) + good.substr(good.find("PK\1\2"))},
        {"not an archive", "just some text"},
    };
    for (const auto& c : cases) {
        folder.writeFile("update.zip", c.bytes);
        const auto outcome = InPlaceUpdate::apply(folder / "update.zip", prog(), "2.0");
        EXPECT_EQ(outcome.result, Result::Refused) << c.what << ": " << outcome.reason;
        EXPECT_EQ(snapshot(), before) << c.what;
        EXPECT_FALSE(workFolderExists()) << c.what;
    }
}

TEST_F(InPlaceUpdateTest, ANewProgramThatDoesNotAnswerWithTheNewVersionIsRolledBack) {
    const struct {
        const char* what;
        Members archive;
    } cases[] = {
        {"older version", newProgram("quillfen-cli 1.0")},
        {"longer version", newProgram("quillfen-cli 2.0.1")},
        {"version inside a word", newProgram("quillfen-cli 12.0")},
        {"version on the second line", newProgram("quillfen-cli\n2.0")},
        {"exit code", newProgram("quillfen-cli 2.0", 3)},
        {"cannot start",
         [] {
             Members files = newProgram();
             files.front() = {test::commandLineProgramName(), "not a program", 0100644};
             return files;
         }()},
    };
    for (const auto& c : cases) {
        const auto outcome = InPlaceUpdate::apply(archive(c.archive), prog(), "2.0");
        EXPECT_EQ(outcome.result, Result::RolledBack) << c.what << ": " << outcome.reason;
        EXPECT_EQ(snapshot(), before) << c.what;
        EXPECT_FALSE(workFolderExists()) << c.what;
    }
}

TEST_F(InPlaceUpdateTest, AnUpdateWaitsForTheFoldersOtherProgramsAndIsLeftToTheNextRun) {
    Steps steps;
    KillableFileSystem files(platform::currentPlatform().files(), steps);
    KillableProcesses processes(platform::currentPlatform().processes(), steps);
    processes.others = {4242};
    InPlaceUpdate::Limits limits;
    limits.othersWait = std::chrono::milliseconds(0);
    {
        const test::PlatformOverlay overlay(files, processes);
        const auto outcome = InPlaceUpdate::apply(archive(newProgram()), prog(), "2.0", limits);
        EXPECT_EQ(outcome.result, Result::Refused);
        EXPECT_NE(outcome.reason.find("4242"), std::string::npos) << outcome.reason;
    }
    EXPECT_TRUE(workFolderExists());
    EXPECT_EQ(InPlaceUpdate::resumeInterrupted(prog()).result, Result::NothingToDo);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(InPlaceUpdate::apply(archive(newProgram()), prog(), "2.0").result, Result::Updated);
    EXPECT_EQ(snapshot(), after);
}

// A program of the folder that still runs, as the updating program itself does: a system that
// will not replace it lets it be moved aside, and what is left of it goes with the next run.
TEST_F(InPlaceUpdateTest, AProgramThatStillRunsIsReplacedAndWhatIsLeftGoesWithTheNextRun) {
    Members old = oldProgram();
    old.push_back(test::waitingProgram("helper.exe"));
    install(old);
    Members update = newProgram();
    update.push_back({"helper.exe", "new helper"});
    const std::string updateArchive = archive(update);
    platform::ProcessLauncher& system = platform::currentPlatform().processes();
    std::vector<std::string> command = {folder / "prog/helper.exe"};
    for (const std::string& argument : test::waitingArguments()) {
        command.push_back(argument);
    }
    ASSERT_TRUE(system.launch(command, {false, false, -1}));
    std::vector<int> running;
    for (int round = 0; round < 6000 && running.empty(); ++round) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        running = system.othersRunningFrom(prog());
    }
    ASSERT_FALSE(running.empty());

    Steps steps;
    KillableFileSystem files(platform::currentPlatform().files(), steps);
    KillableProcesses processes(system, steps);
    {
        const test::PlatformOverlay overlay(files, processes);
        const auto outcome = InPlaceUpdate::apply(updateArchive, prog(), "2.0");
        EXPECT_EQ(outcome.result, Result::Updated) << outcome.reason;
    }
    EXPECT_EQ(folder.readFile("prog/helper.exe"), "new helper");
    // Where a running program may not be removed, its old name waits in the work folder.
    for (const int processId : running) {
        test::endProcess(processId);
    }
    InPlaceUpdate::resumeInterrupted(prog());
    EXPECT_FALSE(workFolderExists());
    Snapshot expected = after;
    expected["prog/helper.exe"] = "new helper";
    EXPECT_EQ(snapshot(), expected);
}

// Runs the update with a kill after the chosen step (none for 0); whether it was killed.
bool updateKilledAfter(int killAfter, const std::string& archive, const std::string& folder,
                       Steps& steps) {
    steps.killAfter = killAfter;
    KillableFileSystem files(platform::currentPlatform().files(), steps);
    KillableProcesses processes(platform::currentPlatform().processes(), steps);
    const test::PlatformOverlay overlay(files, processes);
    try {
        InPlaceUpdate::apply(archive, folder, "2.0");
    } catch (const Killed&) {
        return true;
    }
    return false;
}

// A kill after every step of an update that succeeds and of one that is rolled back: the
// programs are whole at once, old or new, and the next run leaves the folder all old or all new
// and no work folder; with the journal lost, every old file is back or whole.
TEST_F(InPlaceUpdateTest, AKillAtAnyStepLeavesWholeProgramsAndTheNextRunFinishesOrUndoes) {
    std::set<std::string> programs = {"prog/quillfen"};
    for (const ZipMember& member : test::versionProgram("")) {
        programs.insert("prog/" + member.name);
    }
    for (const std::string answer : {"quillfen-cli 2.0", "quillfen-cli 3.0"}) {
        Snapshot updated = after;
        for (const ZipMember& member : test::versionProgram(answer)) {
            updated["prog/" + member.name] = member.contents;
        }
        const bool succeeds = answer.ends_with("2.0");
        Steps all;
        install(oldProgram());
        ASSERT_FALSE(updateKilledAfter(0, archive(newProgram(answer)), prog(), all));
        EXPECT_EQ(snapshot(), succeeds ? updated : before) << answer;
        EXPECT_GT(all.taken, 20) << answer;
        // Up to the check, an update that is undone takes the steps of one that succeeds; a lost
        // journal is tried on the one that succeeds.
        for (int killAfter = succeeds ? 1 : all.checkStep; killAfter <= all.taken; ++killAfter) {
            const std::vector<bool> journalCases =
                succeeds ? std::vector<bool>{false, true} : std::vector<bool>{false};
            for (const bool journalLost : journalCases) {
                install(oldProgram());
                Steps steps;
                ASSERT_TRUE(
                    updateKilledAfter(killAfter, archive(newProgram(answer)), prog(), steps));
                const std::string where = answer + ", killed after step " +
                                          std::to_string(killAfter) +
                                          (journalLost ? ", journal lost" : "");
                const Snapshot left = snapshot();
                for (const std::string& program : programs) {
                    EXPECT_TRUE(left.contains(program) && (left.at(program) == before.at(program) ||
                                                           left.at(program) == updated.at(program)))
                        << where << ": " << program;
                }
                if (journalLost && workFolderExists()) {
                    folder.writeFile("prog/.quillfen-update/journal", "garbage");
                }
                InPlaceUpdate::resumeInterrupted(prog());
                const Snapshot resumed = snapshot();
                EXPECT_FALSE(workFolderExists()) << where;
                if (!journalLost) {
                    EXPECT_TRUE(resumed == before || (succeeds && resumed == updated)) << where;
                    continue;
                }
                for (const auto& [name, contents] : before) {
                    EXPECT_TRUE(resumed.contains(name) && (resumed.at(name) == contents ||
                                                           resumed.at(name) == updated.at(name)))
                        << where << ": " << name;
                }
            }
        }
    }
}

}  // namespace
}  // namespace quillfen
