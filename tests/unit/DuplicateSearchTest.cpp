#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "search/DuplicateSearch.h"
#include "support/DeepTree.h"
#include "support/TemporaryFolder.h"
#include "support/TestPlatform.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;

class CollectingObserver : public SearchObserver {
public:
    void searchingFolder(const std::string&) override {}
    void comparingFile(const std::string& path) override { compared.push_back(path); }
    void found(const FoundEntry& entry) override { rows.push_back(entry.folder + entry.name); }

    std::vector<std::string> rows;
    std::vector<std::string> compared;
};

class DuplicateSearchTest : public testing::Test {
protected:
    std::string root() const { return folder.path() + "/"; }

    std::vector<std::string> duplicatesOf(DuplicateInputs inputs) {
        observer.rows.clear();
        const DuplicateRequest request = buildDuplicateRequest(inputs);
        DuplicateSearch(request, observer, stop, false).run();
        std::sort(observer.rows.begin(), observer.rows.end());
        return observer.rows;
    }

    DuplicateInputs inputs(const std::string& reference, bool name, bool extension, bool time,
                           bool body) const {
        return DuplicateInputs{root() + reference, root(), name, extension, time, body};
    }

    test::TemporaryFolder folder;
    test::TestPlatform platform;
    CollectingObserver observer;
    std::atomic<bool> stop{false};
};

using Rows = std::vector<std::string>;

TEST_F(DuplicateSearchTest, NameRulesFollowTheChosenOptions) {
    for (const char* name : {"ref/Report.Doc", "a/report.doc", "b/REPORT.DOC", "c/report.txt",
                             "d/report", "e/other.doc", "f/report.docx"}) {
        folder.writeFile(name, "body");
    }
    const std::string r = root();
    EXPECT_EQ(duplicatesOf(inputs("ref/Report.Doc", true, true, false, false)),
              (Rows{r + "a/report.doc", r + "b/REPORT.DOC"}));
    EXPECT_EQ(duplicatesOf(inputs("ref/Report.Doc", true, false, false, false)),
              (Rows{r + "a/report.doc", r + "b/REPORT.DOC", r + "c/report.txt", r + "d/report",
                    r + "f/report.docx"}));
    EXPECT_EQ(duplicatesOf(inputs("ref/Report.Doc", false, true, false, true)),
              (Rows{r + "a/report.doc", r + "b/REPORT.DOC", r + "e/other.doc"}));
    EXPECT_EQ(duplicatesOf(inputs("ref/Report.Doc", false, false, false, true)),
              (Rows{r + "a/report.doc", r + "b/REPORT.DOC", r + "c/report.txt", r + "d/report",
                    r + "e/other.doc", r + "f/report.docx"}));
}

TEST_F(DuplicateSearchTest, NameWithoutPointMustMatchWhole) {
    folder.writeFile("ref/makefile", "all:");
    folder.writeFile("x/Makefile", "all:");
    folder.writeFile("x/other", "all:");
    EXPECT_EQ(duplicatesOf(inputs("ref/makefile", false, false, false, true)),
              Rows{root() + "x/Makefile"});
}

TEST_F(DuplicateSearchTest, TimeAloneAlsoComparesBodies) {
    folder.writeFile("ref.txt", "same");
    folder.writeFile("a.txt", "same");
    folder.writeFile("b.txt", "diff");
    for (const char* name : {"a.txt", "b.txt"}) {
        fs::last_write_time(folder / name, fs::last_write_time(folder / "ref.txt"));
    }
    DuplicateInputs timeOnly = inputs("ref.txt", false, false, true, false);
    EXPECT_EQ(duplicatesOf(timeOnly), Rows{root() + "a.txt"});
    DuplicateInputs ticked = timeOnly;
    buildDuplicateRequest(ticked);
    EXPECT_TRUE(ticked.matchBody);
}

TEST_F(DuplicateSearchTest, BodiesAroundTheChunkSizeAreComparedExactly) {
    const std::string mebibyte(1 << 20, 'm');
    folder.writeFile("small/ref.bin", mebibyte);
    folder.writeFile("small/same.bin", mebibyte);
    folder.writeFile("small/last.bin", mebibyte.substr(0, mebibyte.size() - 1) + "x");
    EXPECT_EQ(duplicatesOf(inputs("small/ref.bin", false, false, false, true)),
              Rows{root() + "small/same.bin"});

    folder.writeFile("large/ref.bin", mebibyte + "!");
    folder.writeFile("large/same.bin", mebibyte + "!");
    folder.writeFile("large/last.bin", mebibyte + "?");
    DuplicateInputs large = inputs("large/ref.bin", false, false, false, true);
    large.lookIn = root() + "large";
    EXPECT_EQ(duplicatesOf(large), Rows{root() + "large/same.bin"});
    EXPECT_FALSE(observer.compared.empty());
}

// Bodies are compared end blocks first; a single changed byte anywhere, in particular at the
// edges of the blocks, makes a candidate differ, and an identical one is found whatever its size.
TEST_F(DuplicateSearchTest, OneChangedByteAnywhereMakesABodyDiffer) {
    std::mt19937 random(5);
    for (const std::int64_t size :
         {std::int64_t{1}, std::int64_t{4095}, std::int64_t{4096}, std::int64_t{5000},
          std::int64_t{8192}, std::int64_t{300000}, std::int64_t{(1 << 20) + 300000}}) {
        SCOPED_TRACE(size);
        const std::string set = "size" + std::to_string(size) + "/";
        std::string body(static_cast<std::size_t>(size), '\0');
        for (char& byte : body) {
            byte = static_cast<char>(random());
        }
        folder.writeFile(set + "ref.bin", body);
        folder.writeFile(set + "same.bin", body);
        for (const std::int64_t offset :
             {std::int64_t{0}, std::int64_t{4095}, std::int64_t{4096}, size / 2, size - 4097,
              size - 4096, size - 1, std::int64_t{262144}, std::int64_t{(1 << 20) + 1}}) {
            if (offset < 0 || offset >= size) {
                continue;
            }
            std::string changed = body;
            changed[static_cast<std::size_t>(offset)] ^= 1;
            folder.writeFile(set + "at" + std::to_string(offset) + ".bin", changed);
        }
        DuplicateInputs bodyOnly = inputs(set + "ref.bin", false, false, false, true);
        bodyOnly.lookIn = root() + set;
        EXPECT_EQ(duplicatesOf(bodyOnly), Rows{root() + set + "same.bin"});
    }
}

TEST_F(DuplicateSearchTest, ALinkIsNotFollowedToABody) {
    folder.writeFile("ref.bin", "same.bin");
    folder.writeFile("same.bin", "same.bin");
    // The link's own size, the length of the text it holds, equals the reference's.
    fs::create_symlink("same.bin", folder / "link.bin");
    EXPECT_EQ(duplicatesOf(inputs("ref.bin", false, false, false, true)),
              Rows{root() + "same.bin"});
}

TEST_F(DuplicateSearchTest, TheReferenceIsNeverItsOwnDuplicateWhateverItsSpelling) {
    folder.writeFile("dir/ref.txt", "body");
    folder.writeFile("dir/copy.txt", "body");
    fs::create_directory_symlink(folder / "dir", folder / "linked");
    const Rows expected{root() + "dir/copy.txt"};

    DuplicateInputs viaDots = inputs("dir/../dir/ref.txt", false, false, false, true);
    EXPECT_EQ(duplicatesOf(viaDots), expected);

    DuplicateInputs viaLink = inputs("dir/ref.txt", false, false, false, true);
    viaLink.lookIn = root() + "linked";
    EXPECT_EQ(duplicatesOf(viaLink), Rows{root() + "linked/copy.txt"});

    const fs::path previous = fs::current_path();
    fs::current_path(folder.path());
    DuplicateInputs relative{"dir/ref.txt", root(), false, false, false, true};
    EXPECT_EQ(duplicatesOf(relative), expected);
    fs::current_path(previous);
}

TEST_F(DuplicateSearchTest, AReferenceNamedThroughALinkIsFollowedAndNeitherIsListed) {
    folder.writeFile("dir/ref.txt", "body");
    folder.writeFile("copy.txt", "body");
    folder.writeFile("sub/report.txt", "other");
    fs::create_symlink("dir/ref.txt", folder / "report.txt");
    DuplicateInputs byBody = inputs("report.txt", false, false, false, true);
    EXPECT_FALSE(checkDuplicateInputs(byBody).has_value());
    EXPECT_EQ(duplicatesOf(byBody), Rows{root() + "copy.txt"});
    // By name the link itself would pass; it is the reference as the user named it.
    EXPECT_EQ(duplicatesOf(inputs("report.txt", true, true, false, false)),
              Rows{root() + "sub/report.txt"});
}

TEST_F(DuplicateSearchTest, FilesBeyondTheLongestPathAreComparedBothWays) {
    test::DeepTree deep(folder.path(), 30, std::string(200, 'n'));
    const std::string deepReference = deep.writeFile("ref.bin", "the same body");
    const std::string deepCopy = deep.writeFile("copy.bin", "the same body");
    folder.writeFile("top.bin", "the same body");
    DuplicateInputs fromDeep{deepReference, root(), false, false, false, true};
    EXPECT_FALSE(checkDuplicateInputs(fromDeep).has_value());
    EXPECT_EQ(duplicatesOf(fromDeep), (Rows{deepCopy, root() + "top.bin"}));
    EXPECT_EQ(duplicatesOf(inputs("top.bin", false, false, false, true)),
              (Rows{deepCopy, deepReference}));
}

TEST_F(DuplicateSearchTest, AFileDifferingOnlyInCaseIsARealCandidate) {
    folder.writeFile("Ref.txt", "body");
    folder.writeFile("ref.txt", "body");
    EXPECT_EQ(duplicatesOf(inputs("Ref.txt", false, false, false, true)), Rows{root() + "ref.txt"});
}

TEST(DuplicateInputCheck, RefusesMissingAndEmptyReferences) {
    test::TemporaryFolder folder;
    folder.writeFile("empty", "");
    folder.writeFile("full", "x");
    const struct {
        std::string reference;
        std::string lookIn;
        std::optional<std::string> message;
    } cases[] = {
        {folder / "missing", folder.path(), "File not exists."},
        {folder / "empty", folder.path(), "It is an empty file."},
        {folder.path(), folder.path(), "It is an empty file."},
        {folder / "full", "  ", "Please select a folder for search."},
        {folder / "full", folder / "nowhere", "Folder not exists."},
        {folder / "full", "*", std::nullopt},
        {folder / "full", folder.path(), std::nullopt},
    };
    for (const auto& c : cases) {
        DuplicateInputs inputs{c.reference, c.lookIn};
        const auto problem = checkDuplicateInputs(inputs);
        EXPECT_EQ(problem ? std::optional(problem->message) : std::nullopt, c.message)
            << c.reference << " in " << c.lookIn;
    }
}

// Permissions do not hold back the superuser, so the check then runs as an ordinary user.
template <typename Check>
bool passesUnprivileged(Check check) {
    if (::geteuid() != 0) {
        return check();
    }
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

TEST(DuplicateInputCheck, SaysSoWhenTheReferenceCannotBeRead) {
    test::TemporaryFolder folder;
    folder.writeFile("locked", "body");
    ASSERT_EQ(::chmod(folder.path().c_str(), 0711), 0);
    ASSERT_EQ(::chmod((folder / "locked").c_str(), 0), 0);
    EXPECT_TRUE(passesUnprivileged([&folder] {
        DuplicateInputs inputs{folder / "locked", folder.path()};
        const auto problem = checkDuplicateInputs(inputs);
        return problem && std::string(problem->message) == "The file cannot be read.";
    }));
}

}  // namespace
}  // namespace quillfen
