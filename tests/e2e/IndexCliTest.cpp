#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Name, size, date and content searches, whole trees, subfolders and one folder alone.
const std::vector<std::vector<std::string>> kSearches = {
    {},
    {"--name", "*.txt"},
    {"--name", "d* *.LOG"},
    {"--name", "*data*", "--size-at-least", "2k"},
    {"--size-at-most", "10B"},
    {"--modified-between", "2000-01-01", "2002-12-31"},
    {"--modified", "week", "--name", "*o*"},
    {"--no-subfolders"},
    {"--sort", "size", "--sort", "name"},
    {"--name", "*.txt *.log", "--text", "xx"},
    {"--text", "d", "--no-subfolders"},
};
const std::vector<std::string> kFormats = {"paths", "table", "tsv", "csv", "jsonl"};

// The command line on a generated tree, its cache and settings in the test's own folder.
class IndexCliTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder / "program");
        fs::copy_file(QUILLFEN_CLI_PATH, folder / "program/quillfen-cli");
        for (int branch = 0; branch < 6; ++branch) {
            const std::string base = "tree/d" + std::to_string(branch) + "/";
            for (int file = 0; file < 8; ++file) {
                write(base + "sub" + std::to_string(file % 3) + "/f" + std::to_string(file) +
                          (file % 2 == 0 ? ".txt" : ".log"),
                      std::string(static_cast<std::size_t>(file * 700), 'x'));
            }
            write(base + "data" + std::to_string(branch), std::string(4000, 'd'));
        }
        write("tree/old.txt", "old");
        age("tree/old.txt", 24 * 365 * 25);
        write("tree/\xff\xfe-bytes.txt", "not UTF-8");
        fs::create_directory_symlink("d1", folder / "tree/link");
    }

    test::ProgramResult cli(std::vector<std::string> arguments) const {
        return test::runProgram(
            folder / "program/quillfen-cli", arguments,
            {"LANG=C.UTF-8", "LC_ALL=", "HOME=" + folder.path(),
             "XDG_CACHE_HOME=" + (folder / "cache"), "XDG_CONFIG_HOME=" + (folder / "config")});
    }

    void write(const std::string& name, const std::string& contents) const {
        fs::create_directories(fs::path(folder / name).parent_path());
        std::ofstream(folder / name, std::ios::binary) << contents;
    }

    void age(const std::string& name, int hours) const {
        fs::last_write_time(folder / name,
                            fs::file_time_type::clock::now() - std::chrono::hours(hours));
    }

    // Every search in every format, and a duplicate search, prints with the index exactly what
    // the walk prints.
    void expectIndexAnswersAsTheWalk(const std::string& in) const {
        std::vector<std::vector<std::string>> searches;
        for (const auto& search : kSearches) {
            for (const std::string& format : kFormats) {
                searches.push_back({"find", "--in", in, "--format", format});
                searches.back().insert(searches.back().end(), search.begin(), search.end());
            }
        }
        searches.push_back({"dupes", folder / "tree/d5/data5", "--in", in, "--format", "tsv"});
        for (std::vector<std::string>& arguments : searches) {
            const test::ProgramResult indexed = cli(arguments);
            arguments.push_back("--no-index");
            const test::ProgramResult walked = cli(arguments);
            SCOPED_TRACE(testing::PrintToString(arguments));
            EXPECT_EQ(indexed.out, walked.out);
            EXPECT_EQ(indexed.err, walked.err);
            EXPECT_EQ(indexed.exitCode, walked.exitCode);
        }
    }

    std::string listed() const { return cli({"index", "list", "--format", "tsv"}).out; }

    test::TemporaryFolder folder;
};

TEST_F(IndexCliTest, AnIndexAnswersEverySearchAsTheWalkDoesWhileTheTreeChanges) {
    const std::string tree = folder / "tree";
    EXPECT_EQ(cli({"find", "--in", tree, "--name", "*.txt"}).exitCode, 0);
    EXPECT_FALSE(fs::exists(folder / "cache")) << "a search with no index leaves nothing";

    const test::ProgramResult added = cli({"index", "add", tree});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(added.out, "indexed " + tree + "/: 81 entries\n");
    EXPECT_NE(listed().find(tree + "/\t81\t"), std::string::npos) << listed();
    expectIndexAnswersAsTheWalk(tree);
    expectIndexAnswersAsTheWalk(tree + "/d2/");

    // No watcher sees these; the next search finds them all.
    write("tree/d0/sub0/new.txt", "new");
    fs::remove(folder / "tree/d1/sub1/f1.log");
    fs::rename(folder / "tree/d2/sub2/f2.txt", folder / "tree/d2/sub2/renamed.txt");
    fs::rename(folder / "tree/d3", folder / "tree/d3-renamed");
    fs::remove_all(folder / "tree/d4");
    write("tree/d5/deep/er/still/data-new", std::string(5000, 'n'));
    write("tree/d5/sub1/f1.log", std::string(9000, 'g'));
    age("tree/d5/sub0/f0.txt", 24 * 365 * 25);
    fs::rename(folder / "tree/d0/sub1", folder / "tree/d5/sub1-moved");
    EXPECT_NE(listed().find("\tneeds checking\n"), std::string::npos) << listed();
    expectIndexAnswersAsTheWalk(tree);
    expectIndexAnswersAsTheWalk(tree + "/d5");
    EXPECT_NE(listed().find(tree + "/\t72\t"), std::string::npos) << listed();

    if (::geteuid() != 0) {
        fs::permissions(folder / "tree/d5/deep", fs::perms::none);
        expectIndexAnswersAsTheWalk(tree);
        fs::permissions(folder / "tree/d5/deep", fs::perms::owner_all);
    }

    // Folders that changed within the last two seconds are checked again next time, so the
    // index is current only once they are older, whenever the update ran.
    const test::ProgramResult updated = cli({"index", "update"});
    EXPECT_EQ(updated.out, "updated " + tree + "/: 72 entries\n") << updated.err;
    for (const auto& entry : fs::recursive_directory_iterator(tree)) {
        if (entry.is_directory() && !entry.is_symlink()) {
            age(fs::relative(entry.path(), folder.path()), 1);
        }
    }
    age("tree", 1);
    EXPECT_EQ(cli({"index", "update"}).exitCode, 0);
    EXPECT_NE(listed().find("\tcurrent\n"), std::string::npos) << listed();
    fs::rename(folder / "tree", folder / "tree-gone");
    EXPECT_NE(listed().find("\tfolder missing\n"), std::string::npos) << listed();
    fs::rename(folder / "tree-gone", folder / "tree");
    const std::string json = cli({"index", "list", "--format", "json"}).out;
    EXPECT_NE(json.find("{\"folder\": \"" + tree + "/\", \"entries\": 72,"), std::string::npos)
        << json;

    for (const auto& file : fs::directory_iterator(folder / "cache/quillfen/index")) {
        if (file.path().extension() == ".qfi") {
            std::ofstream(file.path(), std::ios::binary | std::ios::in) << "damage";
        }
    }
    EXPECT_NE(listed().find("damaged"), std::string::npos) << listed();
    EXPECT_EQ(cli({"index", "update"}).exitCode, 2) << "its header names no folder";
    expectIndexAnswersAsTheWalk(tree + "/d0");
    EXPECT_EQ(cli({"index", "update", tree}).exitCode, 0);
    EXPECT_NE(listed().find(tree + "/\t72\t"), std::string::npos) << listed();

    EXPECT_EQ(cli({"index", "remove", tree}).exitCode, 0);
    EXPECT_EQ(cli({"index", "remove", tree}).exitCode, 1);
    EXPECT_EQ(listed(), "folder\tentries\tbytes\tbuilt\tstate\n");
    EXPECT_EQ(cli({"index", "add", folder / "nowhere"}).exitCode, 2);
    EXPECT_EQ(cli({"index", "lst"}).err,
              "quillfen-cli: unknown command 'lst'; did you mean 'list'? (see --help)\n");
}

// On a terminal the progress line's last word says that the index answered, of how many
// entries, a content search's too; a walk and a quiet run leave the line erased. While an index is
// built, the line counts the entries recorded.
TEST_F(IndexCliTest, OnATerminalTheProgressLineEndsSayingThatTheIndexAnswered) {
    if (!fs::exists("/usr/bin/script")) {
        GTEST_SKIP() << "no script(1) to run the program on a terminal";
    }
    const std::string tree = folder / "tree";
    ASSERT_EQ(cli({"index", "add", tree}).exitCode, 0);
    const struct {
        std::string arguments;
        std::string last;
    } cases[] = {
        {"--in '" + tree + "'", "Searched the index of 81 files in"},
        {"--in '" + tree + "/d2' --no-subfolders --name 'sub*'",
         "Searched the index of 4 files in"},
        {"--in '" + tree + "' --no-index", ""},
        {"--in '" + tree + "' --quiet", ""},
        {"--in '" + tree + "' --text xxx", "Searched the index of 81 files in"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const test::ProgramResult run = test::runProgram(
            "/usr/bin/script",
            {"-qec", "'" + (folder / "program/quillfen-cli") + "' find " + c.arguments,
             "/dev/null"},
            {"LANG=C.UTF-8", "LC_ALL=", "HOME=" + folder.path(), "SHELL=/bin/sh",
             "XDG_CACHE_HOME=" + (folder / "cache"), "XDG_CONFIG_HOME=" + (folder / "config")});
        EXPECT_EQ(run.exitCode, 0);
        const std::regex said(R"((\n|\x1b\[K))" + c.last + R"( \d+ ms\.\r\n$)");
        EXPECT_EQ(std::regex_search(run.out, said), !c.last.empty()) << run.out;
        EXPECT_EQ(run.out.find("Searched the index"), run.out.rfind("Searched the index"));
    }
    const test::ProgramResult added = test::runProgram(
        "/usr/bin/script",
        {"-qec", "'" + (folder / "program/quillfen-cli") + "' index add '" + tree + "'",
         "/dev/null"},
        {"LANG=C.UTF-8", "LC_ALL=", "HOME=" + folder.path(), "SHELL=/bin/sh",
         "XDG_CACHE_HOME=" + (folder / "cache"), "XDG_CONFIG_HOME=" + (folder / "config")});
    EXPECT_TRUE(std::regex_search(
        added.out, std::regex(R"(^\r\x1b\[K\d+ entries  .*\r\x1b\[Kindexed .*: 81 entries\r\n$)")))
        << added.out;
}

}  // namespace
}  // namespace quillfen
