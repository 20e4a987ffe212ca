#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Unprivileged.h"
#include "support/DeepTree.h"
#include "support/DuplicateSearchFixture.h"

// Duplicate searches over what only POSIX systems have: symbolic links, names that differ in case
// alone, trees deeper than any path, permission bits.
namespace quillfen {
namespace {

namespace fs = std::filesystem;

using DuplicateSearchPosixTest = test::DuplicateSearchFixture;
using Rows = std::vector<std::string>;

TEST_F(DuplicateSearchPosixTest, ALinkIsNotFollowedToABody) {
    folder.writeFile("ref.bin", "same.bin");
    folder.writeFile("same.bin", "same.bin");
    // The link's own size, the length of the text it holds, equals the reference's.
    fs::create_symlink("same.bin", folder / "link.bin");
    EXPECT_EQ(duplicatesOf(inputs("ref.bin", false, false, false, true)),
              Rows{root() + "same.bin"});
}

TEST_F(DuplicateSearchPosixTest, TheReferenceIsNeverItsOwnDuplicateThroughALinkedFolder) {
    folder.writeFile("dir/ref.txt", "body");
    folder.writeFile("dir/copy.txt", "body");
    fs::create_directory_symlink(folder / "dir", folder / "linked");
    DuplicateInputs viaLink = inputs("dir/ref.txt", false, false, false, true);
    viaLink.lookIn = root() + "linked";
    EXPECT_EQ(duplicatesOf(viaLink), Rows{root() + "linked/copy.txt"});
}

TEST_F(DuplicateSearchPosixTest, AReferenceNamedThroughALinkIsFollowedAndNeitherIsListed) {
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

TEST_F(DuplicateSearchPosixTest, FilesBeyondTheLongestPathAreComparedBothWays) {
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

TEST_F(DuplicateSearchPosixTest, AFileDifferingOnlyInCaseIsARealCandidate) {
    folder.writeFile("Ref.txt", "body");
    folder.writeFile("ref.txt", "body");
    EXPECT_EQ(duplicatesOf(inputs("Ref.txt", false, false, false, true)), Rows{root() + "ref.txt"});
}

TEST(DuplicateInputCheckPosix, SaysSoWhenTheReferenceCannotBeRead) {
    test::TemporaryFolder folder;
    folder.writeFile("locked", "body");
    ASSERT_EQ(::chmod(folder.path().c_str(), 0711), 0);
    ASSERT_EQ(::chmod((folder / "locked").c_str(), 0), 0);
    EXPECT_TRUE(test::passesUnprivileged([&folder] {
        DuplicateInputs inputs{folder / "locked", folder.path()};
        const auto problem = checkDuplicateInputs(inputs);
        return problem && std::string(problem->message) == "The file cannot be read.";
    }));
}

}  // namespace
}  // namespace quillfen
