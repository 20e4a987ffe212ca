#include "search/OrderedFileTests.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quillfen {
namespace {

// File tests that are held until as many run side by side as the test waits for, and that count
// as reads from the disk when `onDisk`. The first file (size 0) is not held, so the tests know
// where their files come from before the rest start. Files whose size is even pass.
class HeldTests {
public:
    explicit HeldTests(bool onDisk) : onDisk_(onDisk) {}

    bool test(std::int64_t size) {
        if (size > 0) {
            std::unique_lock lock(mutex_);
            ++running_;
            mostRunning_ = std::max(mostRunning_, running_);
            changed_.notify_all();
            // A deadlock guard, not a timing: a release that never comes fails the test.
            changed_.wait_for(lock, std::chrono::seconds(20), [this] { return released_; });
            --running_;
        }
        if (onDisk_) {
            ++diskReads_;
        }
        return size % 2 == 0;
    }

    // Waits until `count` tests run at once, then lets every test finish; false when they never do.
    bool releaseOnceRunning(int count) {
        std::unique_lock lock(mutex_);
        const bool reached =
            changed_.wait_for(lock, std::chrono::seconds(20), [&] { return running_ >= count; });
        released_ = true;
        changed_.notify_all();
        return reached;
    }

    DiskReadCounter diskReads() {
        return [this] { return diskReads_.load(); };
    }

    int mostRunning() {
        const std::lock_guard lock(mutex_);
        return mostRunning_;
    }

private:
    const bool onDisk_;
    std::atomic<std::uint64_t> diskReads_{0};
    std::mutex mutex_;
    std::condition_variable changed_;
    int running_ = 0;
    int mostRunning_ = 0;
    bool released_ = false;
};

// While the files come from the page cache one test per core runs; once a test has waited on the
// disk, up to every reader. Either way the passing files are reported in the order submitted.
TEST(OrderedFileTests, RunsOneTestPerCoreUntilTheDiskIsSlowAndReportsInOrder) {
    const int cores = static_cast<int>(
        std::clamp<unsigned>(std::thread::hardware_concurrency(), 1, OrderedFileTests::kReaders));
    const struct {
        bool onDisk;
        int running;
    } cases[] = {
        {false, cores},
        {true, static_cast<int>(OrderedFileTests::kReaders)},
    };
    for (const auto& [onDisk, running] : cases) {
        SCOPED_TRACE(testing::Message() << (onDisk ? "on disk" : "in the page cache"));
        HeldTests held(onDisk);
        std::vector<std::int64_t> reported;
        bool reached = false;
        {
            OrderedFileTests tests(
                [&held](const std::string&, std::int64_t size) { return held.test(size); },
                [&reported](FoundEntry&& entry) { reported.push_back(entry.size); },
                held.diskReads());
            std::thread releaser([&] { reached = held.releaseOnceRunning(running); });
            for (int index = 0; index < 200; ++index) {
                FoundEntry entry;
                entry.size = index;
                tests.submit(std::move(entry), "f" + std::to_string(index));
            }
            releaser.join();
            tests.finish();
        }
        EXPECT_TRUE(reached);
        EXPECT_LE(held.mostRunning(), running);
        std::vector<std::int64_t> expected;
        for (int index = 0; index < 200; index += 2) {
            expected.push_back(index);
        }
        EXPECT_EQ(reported, expected);
    }
}

}  // namespace
}  // namespace quillfen
