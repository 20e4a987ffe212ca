#include "search/ListingLookahead.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <mutex>
#include <thread>

namespace quillfen {
namespace {

// A tree in memory: the root has `subfolders` folders of `filesEach` files each. Counts every
// listing, on whichever thread it runs.
class FakeTree {
public:
    FakeTree(int subfolders, int filesEach) : subfolders_(subfolders), filesEach_(filesEach) {}

    void list(PendingFolder& folder) {
        const bool isRoot = folder.folder == "/";
        const int count = isRoot ? subfolders_ : filesEach_;
        for (int index = 0; index < count; ++index) {
            platform::FolderEntry entry;
            entry.name = (isRoot ? "d" : "f") + std::to_string(index);
            entry.isFolder = isRoot;
            folder.entries.push_back(entry);
            if (isRoot) {
                folder.subfolders.emplace_back(
                    index, std::make_shared<PendingFolder>("/" + entry.name + "/"));
            }
        }
        const std::lock_guard lock(mutex_);
        ++listings_[folder.folder];
        if (!isRoot) {
            listedFiles_ += filesEach_;
        }
    }

    int listedFiles() {
        const std::lock_guard lock(mutex_);
        return listedFiles_;
    }

    std::map<std::string, int> listings() {
        const std::lock_guard lock(mutex_);
        return listings_;
    }

private:
    int subfolders_;
    int filesEach_;
    std::mutex mutex_;
    std::map<std::string, int> listings_;
    int listedFiles_ = 0;
};

// Waits until the look-ahead thread has stopped listing, or gives up after a few seconds.
void waitUntilSettled(FakeTree& tree) {
    int last = -1;
    for (int round = 0; round < 500 && tree.listedFiles() != last; ++round) {
        last = tree.listedFiles();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

TEST(ListingLookahead, ReadsAheadOnlyUpToItsAllowanceAndListsEveryFolderOnce) {
    FakeTree tree(100, 10);
    const std::atomic<bool> stop{false};
    constexpr std::size_t kAllowance = 25;
    ListingLookahead lookahead(
        stop, [&tree](PendingFolder& folder) { tree.list(folder); }, kAllowance);
    PendingFolder root("/");
    lookahead.obtain(root);
    ASSERT_EQ(root.subfolders.size(), 100u);

    waitUntilSettled(tree);
    // The folder that crosses the allowance is the last one read ahead.
    EXPECT_GT(tree.listedFiles(), 0);
    EXPECT_LE(tree.listedFiles(), static_cast<int>(kAllowance) + 10);

    for (const auto& [index, subfolder] : root.subfolders) {
        lookahead.obtain(*subfolder);
        EXPECT_EQ(subfolder->entries.size(), 10u) << subfolder->folder;
        lookahead.release(*subfolder);
    }
    for (const auto& [folder, count] : tree.listings()) {
        EXPECT_EQ(count, 1) << folder;
    }
    EXPECT_EQ(tree.listings().size(), 101u);
}

// A folder stays alive while its parent does, so releasing it must give back its listing's
// memory, not only empty it.
TEST(ListingLookahead, ReleasingAFolderGivesBackItsListingsMemory) {
    FakeTree tree(50, 0);
    const std::atomic<bool> stop{false};
    ListingLookahead lookahead(
        stop, [&tree](PendingFolder& folder) { tree.list(folder); }, 0);
    PendingFolder root("/");
    lookahead.obtain(root);
    ASSERT_EQ(root.entries.size(), 50u);
    lookahead.release(root);
    EXPECT_EQ(root.entries.capacity(), 0u);
    EXPECT_EQ(root.subfolders.capacity(), 0u);
}

}  // namespace
}  // namespace quillfen
