#include "index/IndexRefresh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>

#include "IndexTestTree.h"
#include "Unprivileged.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using Change = std::function<void(const test::IndexTestTree& tree)>;

struct RefreshCase {
    const char* name;
    Change change;
    bool relisted;
};

void writeFile(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

// The refreshed record is the record a new walk makes, and it says whether anything was listed.
bool refreshMatchesANewWalk(const test::IndexTestTree& tree, const IndexData& before,
                            bool relisted) {
    const std::atomic<bool> stop{false};
    const IndexView stored = test::IndexTestTree::stored(before);
    IndexRefresh refresh(stored, stop);
    const bool changeSeen = refresh.anyFolderChanged();
    const IndexData after = refresh.run();
    const bool matches =
        test::IndexTestTree::described(after) == test::IndexTestTree::described(tree.record());
    EXPECT_TRUE(matches);
    EXPECT_EQ(refresh.changed(), relisted);
    EXPECT_EQ(changeSeen, relisted);
    return matches && refresh.changed() == relisted && changeSeen == relisted;
}

// Changes of every kind a folder can see between two searches, each spliced into the record in
// its place; a file's new size or time changes no listing and needs none.
TEST(IndexRefresh, ChangesAreSplicedInWhereAWalkFindsThem) {
    const std::vector<RefreshCase> cases = {
        {"nothing", [](const auto&) {}, false},
        {"a file's contents and time",
         [](const auto& t) {
             writeFile(t / "a/b/2.txt", "longer");
             fs::last_write_time(t / "a/b/2.txt", fs::file_time_type::clock::now() - 1h);
         },
         false},
        {"a file added deep down", [](const auto& t) { writeFile(t / "a/b/c/new", "n"); }, true},
        {"a file removed", [](const auto& t) { fs::remove(t / "e/5.txt"); }, true},
        {"a folder renamed", [](const auto& t) { fs::rename(t / "a/b", t / "a/B"); }, true},
        {"a folder tree added",
         [](const auto& t) {
             fs::create_directories(t / "x/y/z");
             writeFile(t / "x/y/z/f", "f");
         },
         true},
        {"a folder tree removed", [](const auto& t) { fs::remove_all(t / "a/b"); }, true},
        {"a folder replaced by a file",
         [](const auto& t) {
             fs::remove_all(t / "e");
             writeFile(t / "e", "now a file");
         },
         true},
        {"a folder moved to another", [](const auto& t) { fs::rename(t / "a/b/c", t / "e/c"); },
         true},
        {"two folders swapped",
         [](const auto& t) {
             fs::rename(t / "a/d", t / "tmp");
             fs::rename(t / "e", t / "a/d");
             fs::rename(t / "tmp", t / "e");
         },
         true},
        {"a link pointed elsewhere",
         [](const auto& t) {
             fs::remove(t / "l");
             fs::create_symlink("top.txt", t / "l");
         },
         true},
    };
    for (const RefreshCase& change : cases) {
        SCOPED_TRACE(change.name);
        const test::IndexTestTree tree;
        const IndexData before = tree.record();
        change.change(tree);
        refreshMatchesANewWalk(tree, before, change.relisted);
    }
}

// An entry added within the step of the file system's clock in which its folder last changed
// leaves the folder's time as it was, so such a folder is listed again however its time looks.
TEST(IndexRefresh, AFolderThatChangedJustBeforeItWasRecordedIsListedAgain) {
    const test::IndexTestTree tree;
    writeFile(tree / "a/d/late", "x");
    refreshMatchesANewWalk(tree, tree.record(), true);
}

// A folder whose access was taken away keeps its time, but not its change time: the refresh
// records it as the walk does, unreadable with the reason, and readable again once it is.
TEST(IndexRefresh, AFolderMadeUnreadableIsRecordedAsTheWalkFindsIt) {
    const test::IndexTestTree tree;
    fs::permissions(tree.root(), fs::perms::all);
    for (const auto& entry : fs::recursive_directory_iterator(tree.root())) {
        ::lchown(entry.path().c_str(), 65534, 65534);
    }
    ::lchown(tree.root().c_str(), 65534, 65534);
    EXPECT_TRUE(test::passesUnprivileged([&] {
        const IndexData readable = tree.record();
        fs::permissions(tree / "a/b", fs::perms::none);
        const IndexData locked = tree.record();
        const std::vector<std::string> lines = test::IndexTestTree::described(locked);
        const bool reasonKept = std::any_of(
            lines.begin(), lines.end(),
            [](const std::string& line) { return line.ends_with("Permission denied"); });
        const bool toLocked = refreshMatchesANewWalk(tree, readable, true);
        fs::permissions(tree / "a/b", fs::perms::owner_all);
        return reasonKept && toLocked && refreshMatchesANewWalk(tree, locked, true);
    }));
}

}  // namespace
}  // namespace quillfen
