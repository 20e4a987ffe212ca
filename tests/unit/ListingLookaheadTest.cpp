#include "search/ListingLookahead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
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

// The root has `subfolders` folders of `filesEach` files. A listing of a subfolder is held until
// its gate opens, and the listings in flight are counted, so a test can see which listings run
// side by side and make them finish in any order.
class GatedTree {
public:
    GatedTree(int subfolders, int filesEach) : subfolders_(subfolders), filesEach_(filesEach) {}

    // Decides, under the tree's lock, whether a subfolder's listing may finish now.
    void holdUntil(std::function<bool(const std::string& folder)> mayFinish) {
        const std::lock_guard lock(mutex_);
        mayFinish_ = std::move(mayFinish);
    }

    void list(PendingFolder& folder) {
        const bool isRoot = folder.folder == "/";
        {
            std::unique_lock lock(mutex_);
            ++inFlight_;
            mostInFlight_ = std::max(mostInFlight_, inFlight_);
            ++started_;
            changed_.notify_all();
            // A deadlock guard, not a timing: a gate that never opens fails the test below.
            changed_.wait_for(lock, std::chrono::seconds(20),
                              [&] { return isRoot || !mayFinish_ || mayFinish_(folder.folder); });
        }
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
        --inFlight_;
        finished_.push_back(folder.folder);
        changed_.notify_all();
    }

    // Waits until `count` listings are in flight at once; false when that never happens.
    bool waitForInFlight(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(20),
                                 [&] { return inFlight_ >= count; });
    }

    // Opens the gates for everything (wakes listings held by a changed rule).
    void openAll() {
        const std::lock_guard lock(mutex_);
        mayFinish_ = nullptr;
        changed_.notify_all();
    }

    bool hasFinished(const std::string& folder) {
        return std::find(finished_.begin(), finished_.end(), folder) != finished_.end();
    }

    int mostInFlight() {
        const std::lock_guard lock(mutex_);
        return mostInFlight_;
    }

    int started() {
        const std::lock_guard lock(mutex_);
        return started_;
    }

    std::vector<std::string> finished() {
        const std::lock_guard lock(mutex_);
        return finished_;
    }

private:
    int subfolders_;
    int filesEach_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<bool(const std::string&)> mayFinish_;
    int inFlight_ = 0;
    int mostInFlight_ = 0;
    int started_ = 0;
    std::vector<std::string> finished_;
};

TEST(ListingLookahead, KeepsAsManyListingsInFlightAsItHasListersAndNoMore) {
    for (const std::size_t listers : {std::size_t{1}, std::size_t{4}, std::size_t{16}}) {
        SCOPED_TRACE(testing::Message() << listers << " listers");
        GatedTree tree(64, 3);
        const std::atomic<bool> stop{false};
        // Every listing waits until all the listers are at it, which they must reach together.
        const int wanted = static_cast<int>(listers);
        std::atomic<bool> reached{false};
        tree.holdUntil([&](const std::string&) { return reached.load(); });
        ListingLookahead lookahead(
            stop, [&tree](PendingFolder& folder) { tree.list(folder); },
            ListingLookahead::kDefaultAllowance, listers);
        PendingFolder root("/");
        lookahead.obtain(root);
        reached = tree.waitForInFlight(wanted);
        tree.openAll();
        EXPECT_TRUE(reached);
        for (const auto& [index, subfolder] : root.subfolders) {
            lookahead.obtain(*subfolder);
            EXPECT_EQ(subfolder->entries.size(), 3u) << subfolder->folder;
            lookahead.release(*subfolder);
        }
        // The walk lists a folder itself when no lister has claimed it yet.
        EXPECT_GE(tree.mostInFlight(), wanted);
        EXPECT_LE(tree.mostInFlight(), wanted + 1);
        EXPECT_EQ(tree.started(), 65);
    }
}

// The first folders the walk needs are the last to be listed; the walk still gets each folder
// with its own listing, in its own order.
TEST(ListingLookahead, ListingsThatFinishOutOfOrderReachTheWalkInItsOrder) {
    GatedTree tree(8, 2);
    const std::atomic<bool> stop{false};
    tree.holdUntil([&tree](const std::string& folder) {
        // d0 waits for d1, d1 for d2, and so on; d3 and later finish at once.
        const int index = folder[2] - '0';
        return index >= 3 || tree.hasFinished("/d" + std::to_string(index + 1) + "/");
    });
    ListingLookahead lookahead(
        stop, [&tree](PendingFolder& folder) { tree.list(folder); },
        ListingLookahead::kDefaultAllowance, 4);
    PendingFolder root("/");
    lookahead.obtain(root);
    for (const auto& [index, subfolder] : root.subfolders) {
        lookahead.obtain(*subfolder);
        ASSERT_EQ(subfolder->entries.size(), 2u) << subfolder->folder;
        EXPECT_EQ(subfolder->folder, "/d" + std::to_string(index) + "/");
        lookahead.release(*subfolder);
    }
    const std::vector<std::string> finished = tree.finished();
    const auto at = [&finished](const std::string& folder) {
        return std::find(finished.begin(), finished.end(), folder) - finished.begin();
    };
    EXPECT_LT(at("/d3/"), at("/d2/"));
    EXPECT_LT(at("/d2/"), at("/d1/"));
    EXPECT_LT(at("/d1/"), at("/d0/"));
}

// Stop while every lister is held in a listing: the listings under way end, nothing else is
// listed ahead, and the look-ahead goes away.
TEST(ListingLookahead, AStopWhileListingsAreInFlightListsNothingMore) {
    GatedTree tree(200, 1);
    std::atomic<bool> stop{false};
    std::atomic<bool> released{false};
    tree.holdUntil([&released](const std::string&) { return released.load(); });
    constexpr std::size_t kListers = 4;
    {
        ListingLookahead lookahead(
            stop, [&tree](PendingFolder& folder) { tree.list(folder); },
            ListingLookahead::kDefaultAllowance, kListers);
        PendingFolder root("/");
        lookahead.obtain(root);
        ASSERT_TRUE(tree.waitForInFlight(static_cast<int>(kListers)));
        stop = true;
        released = true;
        tree.openAll();
    }
    // The root, the listings that were held, and at most one more per lister that had taken its
    // folder before it saw the stop.
    EXPECT_LE(tree.started(), 1 + 2 * static_cast<int>(kListers));
}

}  // namespace
}  // namespace quillfen
