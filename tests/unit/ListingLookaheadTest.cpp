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

// Folders and what they hold, a name ending in "/" being a subfolder.
using Layout = std::map<std::string, std::vector<std::string>>;

// The root has `subfolders` folders of `filesEach` files.
Layout wideLayout(int subfolders, int filesEach) {
    Layout layout;
    for (int folder = 0; folder < subfolders; ++folder) {
        const std::string name = "d" + std::to_string(folder) + "/";
        layout["/"].push_back(name);
        for (int file = 0; file < filesEach; ++file) {
            layout["/" + name].push_back("f" + std::to_string(file));
        }
    }
    return layout;
}

// A tree in memory whose listings of folders other than the root are held until their gate opens.
// The listings in flight are counted, and the thread of each, so a test can see which listings
// run side by side and where, and make them finish in any order. Each listing counts as a read
// from the disk when the tree is `OnDisk`.
class GatedTree {
public:
    enum Storage { InPageCache, OnDisk };

    explicit GatedTree(Layout layout, Storage storage = OnDisk)
        : layout_(std::move(layout)), storage_(storage) {}
    GatedTree(int subfolders, int filesEach) : GatedTree(wideLayout(subfolders, filesEach)) {}

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
            listedOn_[folder.folder] = std::this_thread::get_id();
            changed_.notify_all();
            // A deadlock guard, not a timing: a gate that never opens fails the test below.
            changed_.wait_for(lock, std::chrono::seconds(20),
                              [&] { return isRoot || !mayFinish_ || mayFinish_(folder.folder); });
        }
        for (const std::string& name : layout_[folder.folder]) {
            platform::FolderEntry entry;
            entry.isFolder = name.back() == '/';
            entry.name = entry.isFolder ? name.substr(0, name.size() - 1) : name;
            folder.entries.push_back(entry);
            if (entry.isFolder) {
                folder.subfolders.emplace_back(
                    folder.entries.size() - 1,
                    std::make_shared<PendingFolder>(folder.folder + name));
            }
        }
        if (storage_ == OnDisk) {
            ++diskReads_;
        }
        const std::lock_guard lock(mutex_);
        --inFlight_;
        finished_.push_back(folder.folder);
        changed_.notify_all();
    }

    DiskReadCounter diskReads() {
        return [this] { return diskReads_.load(); };
    }

    // Waits until `count` listings are in flight at once; false when that never happens.
    bool waitForInFlight(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(20),
                                 [&] { return inFlight_ >= count; });
    }

    // Waits until `folder`'s listing has begun; false when that never happens.
    bool waitForStart(const std::string& folder) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(20),
                                 [&] { return listedOn_.contains(folder); });
    }

    // Waits until `folder`'s listing has finished; false when that never happens.
    bool waitForListing(const std::string& folder) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5),
                                 [&] { return hasFinished(folder); });
    }

    // Has the held listings look at their gates' rule again, after what it reads has changed.
    void reconsider() {
        const std::lock_guard lock(mutex_);
        changed_.notify_all();
    }

    // Opens the gates for everything.
    void openAll() {
        const std::lock_guard lock(mutex_);
        mayFinish_ = nullptr;
        changed_.notify_all();
    }

    // Called with the lock held (from a gate's rule, or by the members above).
    bool hasFinished(const std::string& folder) {
        return std::find(finished_.begin(), finished_.end(), folder) != finished_.end();
    }

    bool listedOnThisThread(const std::string& folder) {
        const std::lock_guard lock(mutex_);
        return listedOn_[folder] == std::this_thread::get_id();
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
    Layout layout_;
    const Storage storage_;
    std::atomic<std::uint64_t> diskReads_{0};
    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<bool(const std::string&)> mayFinish_;
    int inFlight_ = 0;
    int mostInFlight_ = 0;
    int started_ = 0;
    std::map<std::string, std::thread::id> listedOn_;
    std::vector<std::string> finished_;
};

ListingLookahead lookaheadOver(GatedTree& tree, const std::atomic<bool>& stop, std::size_t listers,
                               std::size_t allowance = ListingLookahead::kDefaultAllowance) {
    return ListingLookahead(
        stop, [&tree](PendingFolder& folder) { tree.list(folder); }, allowance, listers,
        tree.diskReads());
}

// Up to every lister runs while the listings wait on the disk; one per core but one while they
// come from the page cache.
TEST(ListingLookahead, KeepsAsManyListingsInFlightAsMayRunAndNoMore) {
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t forTheCores = std::clamp<std::size_t>(cores - 1, 1, 16);
    const struct {
        GatedTree::Storage storage;
        std::size_t listers;
        std::size_t running;
    } cases[] = {
        {GatedTree::OnDisk, 1, 1},
        {GatedTree::OnDisk, 4, 4},
        {GatedTree::OnDisk, 16, 16},
        {GatedTree::InPageCache, 16, forTheCores},
    };
    for (const auto& [storage, listers, running] : cases) {
        SCOPED_TRACE(testing::Message() << listers << " listers, storage " << storage);
        GatedTree tree(wideLayout(64, 3), storage);
        const std::atomic<bool> stop{false};
        // Every listing waits until as many as may run are at it, which they must reach together.
        const int wanted = static_cast<int>(running);
        std::atomic<bool> reached{false};
        tree.holdUntil([&](const std::string&) { return reached.load(); });
        ListingLookahead lookahead = lookaheadOver(tree, stop, listers);
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

// The walk waits for d0, which a lister holds until another folder is listed. In the page cache
// the walk lists the next folder itself meanwhile; on a disk another lister does.
TEST(ListingLookahead, TheWalkListsAheadWhileItWaitsOnlyInThePageCache) {
    const struct {
        GatedTree::Storage storage;
        std::size_t listers;
        bool walkListsD1;
    } cases[] = {
        {GatedTree::InPageCache, 1, true},
        {GatedTree::OnDisk, 2, false},
    };
    for (const auto& [storage, listers, walkListsD1] : cases) {
        SCOPED_TRACE(testing::Message() << "storage " << storage);
        GatedTree tree(wideLayout(4, 1), storage);
        const std::atomic<bool> stop{false};
        tree.holdUntil([&tree](const std::string& folder) {
            return folder != "/d0/" || tree.hasFinished("/d1/");
        });
        ListingLookahead lookahead = lookaheadOver(tree, stop, listers);
        PendingFolder root("/");
        lookahead.obtain(root);
        // d0 is the lister's before the walk asks for it.
        ASSERT_TRUE(tree.waitForStart("/d0/"));
        for (const auto& [index, subfolder] : root.subfolders) {
            lookahead.obtain(*subfolder);
            ASSERT_EQ(subfolder->entries.size(), 1u) << subfolder->folder;
            lookahead.release(*subfolder);
        }
        EXPECT_FALSE(tree.listedOnThisThread("/d0/"));
        EXPECT_EQ(tree.listedOnThisThread("/d1/"), walkListsD1);
        EXPECT_EQ(tree.started(), 5);
    }
}

// Subfolders found while the look-ahead is paused are listed ahead once the walk has caught up,
// not left to the walk: b is listed beside a, which fills the allowance, so b's subfolder is
// offered during the pause.
TEST(ListingLookahead, FoldersOfferedWhilePausedAreListedAheadOnceThePauseEnds) {
    Layout layout;
    layout["/"] = {"a/", "b/"};
    layout["/a/"] = {"x/", "1", "2", "3", "4", "5", "6", "7", "8"};
    layout["/b/"] = {"y/", "9"};
    GatedTree tree(layout);
    const std::atomic<bool> stop{false};
    std::atomic<bool> bothStarted{false};
    tree.holdUntil([&](const std::string& folder) {
        return (folder == "/a/" && bothStarted) || (folder == "/b/" && tree.hasFinished("/a/")) ||
               folder.size() > 3;
    });
    ListingLookahead lookahead = lookaheadOver(tree, stop, 2, 5);
    PendingFolder root("/");
    lookahead.obtain(root);
    bothStarted = tree.waitForInFlight(2);
    tree.reconsider();
    ASSERT_TRUE(bothStarted);

    PendingFolder& a = *root.subfolders[0].second;
    lookahead.obtain(a);
    PendingFolder& x = *a.subfolders[0].second;
    lookahead.obtain(x);
    lookahead.release(x);
    lookahead.release(a);
    EXPECT_TRUE(tree.waitForListing("/b/y/"));
    EXPECT_FALSE(tree.listedOnThisThread("/b/y/"));
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
    ListingLookahead lookahead = lookaheadOver(tree, stop, 4);
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
        ListingLookahead lookahead = lookaheadOver(tree, stop, kListers);
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
