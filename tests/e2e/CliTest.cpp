#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/DeepTree.h"
#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> linesOf(const std::string& text, char end = '\n') {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream stream(text);
    while (std::getline(stream, line, end)) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Runs a private copy of the program from a folder of the test, so its settings and language
// files land there and not beside the build's own programs.
class CliTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(programFolder());
        fs::copy_file(QUILLFEN_CLI_PATH, program());
        fs::create_directories(folder / "tree");
    }

    std::string programFolder() const { return folder / "program"; }
    std::string program() const { return folder / "program/quillfen-cli"; }
    std::string tree() const { return folder / "tree"; }

    test::ProgramResult cli(std::vector<std::string> arguments, int interruptAfterMs = -1) const {
        return test::runProgram(
            program(), arguments,
            {"LANG=C.UTF-8", "LC_ALL=", "HOME=" + folder.path(),
             "XDG_DATA_HOME=" + (folder / "data"), "XDG_CONFIG_HOME=" + (folder / "config")},
            interruptAfterMs);
    }

    void write(const std::string& name, const std::string& contents) const {
        folder.writeFile("tree/" + name, contents);
    }

    test::TemporaryFolder folder;
};

TEST_F(CliTest, FindListsTheSameRowsInTheSameOrderAsFind) {
    for (const char* name :
         {"a/one.txt", "a/b/Two.TXT", "c/three.log", "four.txt", "d/e/f/5.txt", "d/skip.txt.bak"}) {
        write(name, "x");
    }
    const auto ours = cli({"find", "--in", tree(), "--name", "*.txt", "--format", "paths"});
    const auto theirs =
        test::runProgram("/usr/bin/find", {tree(), "-mindepth", "1", "-iname", "*.txt"});
    EXPECT_EQ(ours.exitCode, 0) << ours.err;
    EXPECT_EQ(ours.out, theirs.out);
}

TEST_F(CliTest, ExitStatusTellsFoundNothingFoundAndBadInput) {
    write("a.txt", "x");
    EXPECT_EQ(cli({"find", "--in", tree(), "--name", "*.txt"}).exitCode, 0);
    EXPECT_EQ(cli({"find", "--in", tree(), "--name", "*.doc"}).exitCode, 1);

    const auto missing = cli({"find", "--in", folder / "nowhere"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("Folder not exists."), std::string::npos) << missing.err;

    const auto allDrives = cli({"find", "--in", "*"});
    EXPECT_EQ(allDrives.exitCode, 2);
    EXPECT_NE(allDrives.err.find("must input part of the file name"), std::string::npos);

    const auto badHex = cli({"find", "--in", tree(), "--hex", "31 3"});
    EXPECT_EQ(badHex.exitCode, 2);
    EXPECT_NE(badHex.err.find("This not a Hex string."), std::string::npos);

    EXPECT_EQ(cli({"find", "--in", tree(), "--text", "a", "--hex", "61"}).exitCode, 2);
    EXPECT_EQ(cli({"find", "--modified-between", "2024-02-30", "2024-03-01"}).exitCode, 2);
    EXPECT_EQ(cli({"find", "--sort", "colour"}).exitCode, 2);
}

TEST_F(CliTest, ContentOptionsFindTextHexAndWideText) {
    write("ansi.txt", "xx1234556yy");
    write("wide.txt", std::string("\x00"
                                  "a\x00"
                                  "b\x00",
                                  5));
    write("none.txt", "5612");
    std::string straddling(1048573, 'z');
    straddling += "hello";
    write("edge.bin", straddling);

    EXPECT_EQ(
        sorted(linesOf(cli({"find", "--in", tree(), "--text", "12*56", "--format", "paths"}).out)),
        std::vector<std::string>{tree() + "/ansi.txt"});
    EXPECT_EQ(
        linesOf(cli({"find", "--in", tree(), "--hex", "31 32 * 35 36", "--format", "paths"}).out),
        std::vector<std::string>{tree() + "/ansi.txt"});
    EXPECT_EQ(linesOf(cli({"find", "--in", tree(), "--text", "AB", "--encodings", "unicode",
                           "--format", "paths"})
                          .out),
              std::vector<std::string>{tree() + "/wide.txt"});
    EXPECT_EQ(
        cli({"find", "--in", tree(), "--text", "AB", "--encodings", "unicode", "--match-case"})
            .exitCode,
        1);
    EXPECT_EQ(linesOf(cli({"find", "--in", tree(), "--text", "hello", "--format", "paths"}).out),
              std::vector<std::string>{tree() + "/edge.bin"});
}

// A text whose capital lies beyond ASCII ("Äpfel") finds a file holding it exactly as typed, in
// each encoding, also when case does not matter and also across the first chunk's end.
TEST_F(CliTest, TextWithANonAsciiCapitalFindsItselfWhateverTheCase) {
    const std::string apples = "\xc3\x84pfel";
    write("narrow.txt", "x" + apples + "x");
    write("wide.txt", std::string("\xc4\0p\0f\0e\0l\0", 10));
    write("edge.bin", std::string(1048575, 'z') + "\xc3\x84PFEL");
    const std::vector<std::string> exact{tree() + "/narrow.txt", tree() + "/wide.txt"};
    const std::vector<std::string> folded{tree() + "/edge.bin", tree() + "/narrow.txt",
                                          tree() + "/wide.txt"};
    const std::vector<std::string> find{"find", "--in",     tree(), "--text",
                                        apples, "--format", "paths"};
    std::vector<std::string> matchingCase = find;
    matchingCase.push_back("--match-case");
    const auto withCase = cli(matchingCase);
    EXPECT_EQ(sorted(linesOf(withCase.out)), exact) << withCase.err;
    const auto withoutCase = cli(find);
    EXPECT_EQ(sorted(linesOf(withoutCase.out)), folded) << withoutCase.err;
}

TEST_F(CliTest, SizeAndDateOptionsKeepTheirBoundaries) {
    write("exact100k", std::string(102400, 'x'));
    write("over100k", std::string(102401, 'x'));
    write("dir/inside", "x");
    const auto small = cli({"find", "--in", tree(), "--size", "small", "--format", "paths"});
    EXPECT_EQ(
        sorted(linesOf(small.out)),
        (std::vector<std::string>{tree() + "/dir", tree() + "/dir/inside", tree() + "/exact100k"}));
    const auto atLeast =
        cli({"find", "--in", tree(), "--size-at-least", "100", "--format", "paths"});
    EXPECT_EQ(sorted(linesOf(atLeast.out)),
              (std::vector<std::string>{tree() + "/exact100k", tree() + "/over100k"}));

    const auto touch = [&](const std::string& name, const char* stamp) {
        ASSERT_EQ(
            test::runProgram("/usr/bin/touch", {"-m", "-d", stamp, tree() + "/" + name}).exitCode,
            0);
    };
    touch("exact100k", "2024-02-29 00:00:00");
    touch("over100k", "2024-03-01 23:59:59");
    touch("dir/inside", "2024-03-02 00:00:00");
    touch("dir", "2020-01-01 12:00:00");
    const auto between = cli({"find", "--in", tree(), "--modified-between", "2024-03-01",
                              "2024-02-29", "--format", "paths"});
    EXPECT_EQ(sorted(linesOf(between.out)),
              (std::vector<std::string>{tree() + "/exact100k", tree() + "/over100k"}));
}

TEST_F(CliTest, SortClicksApplyInTheOrderGiven) {
    write("b.txt", std::string(10, 'x'));
    write("a.txt", std::string(30, 'x'));
    write("sub/a.txt", std::string(20, 'x'));
    const auto result = cli(
        {"find", "--in", tree(), "--name", "*.txt", "--sort", "size", "name", "--format", "paths"});
    EXPECT_EQ(
        linesOf(result.out),
        (std::vector<std::string>{tree() + "/sub/a.txt", tree() + "/a.txt", tree() + "/b.txt"}));
}

TEST_F(CliTest, FormatsEscapeWhatTheirReadersCannotTake) {
    write("tab\there.txt", "x");
    write("comma,\"q\".txt", "x");
    write("bad\xff.txt", "x");
    const auto tsv = cli({"find", "--in", tree(), "--name", "tab*", "--format", "tsv"});
    const auto tsvLines = linesOf(tsv.out);
    ASSERT_EQ(tsvLines.size(), 2u);
    EXPECT_EQ(tsvLines[0], "Name\tIn Folder\tType\tDate Modified\tSize\tSize Byte");
    EXPECT_TRUE(tsvLines[1].starts_with("tab\\there.txt\t" + tree() + "/\t")) << tsvLines[1];
    EXPECT_TRUE(tsvLines[1].ends_with("\t1  B\t00000000000000000001")) << tsvLines[1];

    const auto csv = cli({"find", "--in", tree(), "--name", "comma*", "--format", "csv"});
    EXPECT_NE(csv.out.find("\r\n\"comma,\"\"q\"\".txt\","), std::string::npos) << csv.out;

    const auto json = cli({"find", "--in", tree(), "--name", "bad*", "--format", "jsonl"});
    EXPECT_NE(json.out.find("\"name\":\"bad\\\\xff.txt\""), std::string::npos) << json.out;

    const auto paths =
        cli({"find", "--in", tree(), "--name", "bad*", "--null", "--format", "paths"});
    EXPECT_EQ(paths.out, tree() + "/bad\xff.txt" + std::string(1, '\0'));
}

TEST_F(CliTest, FoldersHaveNoSizeAndSortFirstBySize) {
    write("dir/file", "12345");
    const auto result = cli({"find", "--in", tree(), "--sort", "size", "--format", "tsv"});
    const auto lines = linesOf(result.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[1].starts_with("dir\t")) << lines[1];
    EXPECT_TRUE(lines[1].ends_with("\t\t-0000000000000000001")) << lines[1];
    EXPECT_TRUE(lines[2].ends_with("\t5  B\t00000000000000000005")) << lines[2];
}

TEST_F(CliTest, RecycleBinSettingDecidesWhetherTheTrashIsSearched) {
    write("keep.txt", "x");
    folder.writeFile("data/Trash/files/gone.txt", "x");
    const auto skipped =
        cli({"find", "--in", folder.path(), "--name", "*.txt", "--format", "paths"});
    EXPECT_EQ(sorted(linesOf(skipped.out)), std::vector<std::string>{tree() + "/keep.txt"});

    const auto files = linesOf(
        test::runProgram("/usr/bin/find", {programFolder(), "-name", "*.ini", "-maxdepth", "1"})
            .out);
    ASSERT_EQ(files.size(), 0u) << "the command line must not create a settings file's keys";
    std::string user = test::runProgram("/usr/bin/id", {"-un"}).out;
    user.pop_back();
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    folder.writeFile("program/" + user + "." + host + ".ini",
                     "[Config]\r\nSearchInRecycleBin=Y\r\n");
    const auto searched =
        cli({"find", "--in", folder.path(), "--name", "*.txt", "--format", "paths"});
    EXPECT_EQ(
        sorted(linesOf(searched.out)),
        (std::vector<std::string>{folder / "data/Trash/files/gone.txt", tree() + "/keep.txt"}));
}

TEST_F(CliTest, DupesFollowsTheWindowsDefaults) {
    write("ref.txt", "same body");
    write("copy.bin", "same body");
    write("other.txt", "different");
    write("sub/ref.txt", "changed!!");
    const auto body = cli({"dupes", tree() + "/ref.txt", "--in", tree(), "--format", "paths"});
    EXPECT_EQ(body.exitCode, 0) << body.err;
    EXPECT_EQ(linesOf(body.out), std::vector<std::string>{tree() + "/copy.bin"});

    const auto byName =
        cli({"dupes", tree() + "/ref.txt", "--in", tree(), "--match-name", "--format", "paths"});
    EXPECT_EQ(linesOf(byName.out), std::vector<std::string>{tree() + "/sub/ref.txt"});

    write("empty", "");
    const auto empty = cli({"dupes", tree() + "/empty", "--in", tree()});
    EXPECT_EQ(empty.exitCode, 2);
    EXPECT_NE(empty.err.find("It is an empty file."), std::string::npos);
    EXPECT_EQ(cli({"dupes", tree() + "/none", "--in", tree()}).exitCode, 2);
}

TEST_F(CliTest, FilesBelowTheLongestPathAreFoundAndCompared) {
    test::DeepTree deep(tree(), 30, std::string(200, 'n'));
    const std::string bottom = deep.writeFile("bottom.txt", "a needle at the bottom");
    write("top.txt", "a needle at the bottom");
    const auto found = cli(
        {"find", "--in", tree(), "--name", "bottom.txt", "--text", "needle", "--format", "paths"});
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(linesOf(found.out), std::vector<std::string>{bottom});

    const auto copies = cli({"dupes", bottom, "--in", tree(), "--match-body", "--format", "paths"});
    EXPECT_EQ(copies.exitCode, 0) << copies.err;
    EXPECT_EQ(linesOf(copies.out), std::vector<std::string>{tree() + "/top.txt"});
}

TEST_F(CliTest, DupesFollowsALinkToTheReferenceAndListsNeither) {
    write("dir/ref.txt", "same body");
    write("copy.bin", "same body");
    fs::create_symlink("dir/ref.txt", tree() + "/link.txt");
    const auto result =
        cli({"dupes", tree() + "/link.txt", "--in", tree(), "--match-body", "--format", "paths"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(linesOf(result.out), std::vector<std::string>{tree() + "/copy.bin"});
}

bool isMountPoint(const std::string& path) {
    std::ifstream mounts("/proc/self/mountinfo");
    for (std::string line; std::getline(mounts, line);) {
        if (line.find(" " + path + " ") != std::string::npos) {
            return true;
        }
    }
    return false;
}

// /dev/shm is a volume of its own on most systems: its trash is skipped however the search
// reaches that volume's root.
TEST_F(CliTest, TrashAtAVolumeRootIsSkippedWhateverTheSpellingOfTheRoot) {
    const std::string volume = "/dev/shm";
    if (!isMountPoint(volume) || ::access(volume.c_str(), W_OK) != 0) {
        GTEST_SKIP() << volume << " is no writable volume here";
    }
    const std::string trash = volume + "/.Trash-" + std::to_string(::getuid());
    const bool madeTrash = ::mkdir(trash.c_str(), 0700) == 0;
    const std::string tag = "quillfen-e2e-" + std::to_string(::getpid());
    const std::string kept = volume + "/" + tag + "-kept.txt";
    const std::string binned = trash + "/" + tag + "-binned.txt";
    std::ofstream(kept) << "x";
    std::ofstream(binned) << "x";
    fs::create_directory_symlink(volume, tree() + "/volume");
    const fs::path previous = fs::current_path();
    fs::current_path(volume);
    for (const std::string& spelling :
         {volume, volume + "/.", tree() + "/volume", std::string(".")}) {
        const auto result =
            cli({"find", "--in", spelling, "--name", tag + "-*", "--format", "paths"});
        const auto lines = linesOf(result.out);
        ASSERT_EQ(lines.size(), 1u) << spelling << "\n" << result.out << result.err;
        EXPECT_TRUE(lines.front().ends_with(tag + "-kept.txt")) << spelling;
    }
    fs::current_path(previous);
    ::unlink(kept.c_str());
    ::unlink(binned.c_str());
    if (madeTrash) {
        ::rmdir(trash.c_str());
    }
}

// /dev/pts is a kernel interface mounted below /dev: a search of /dev never enters it, also when
// /dev is reached through a link.
TEST_F(CliTest, KernelInterfacesAreNotEnteredWhateverTheSpellingOfTheFolder) {
    if (!isMountPoint("/dev/pts") || !fs::exists("/dev/ptmx")) {
        GTEST_SKIP() << "/dev/pts is not mounted here";
    }
    fs::create_directory_symlink("/dev", tree() + "/devices");
    for (const std::string& spelling : {std::string("/dev"), tree() + "/devices"}) {
        const auto result = cli({"find", "--in", spelling, "--name", "ptmx", "--format", "paths"});
        EXPECT_EQ(linesOf(result.out), std::vector<std::string>{spelling + "/ptmx"}) << result.err;
    }
}

TEST_F(CliTest, InterruptPrintsTheRowsSoFarAndEndsWith130) {
    write("hit.txt", "needle");
    const std::string huge = tree() + "/huge.bin";
    const int fd = ::open(huge.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t{64} << 30), 0);
    ::close(fd);
    const auto result = cli({"find", "--in", tree(), "--text", "needle", "--format", "paths"}, 300);
    EXPECT_EQ(result.exitCode, 130) << result.err;
    for (const std::string& line : linesOf(result.out)) {
        EXPECT_EQ(line, tree() + "/hit.txt");
    }
}

}  // namespace
}  // namespace quillfen
