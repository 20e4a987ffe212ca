#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "search/DiskPace.h"
#include "search/DiskReads.h"
#include "search/SearchObserver.h"
#include "search/WorkerThreads.h"

namespace quillfen {

// Tests of file bodies (a content search, a comparison with a reference) run on worker threads
// while the walk goes on, and the entries that pass are reported in the order the walk found
// them, as if each had been tested in turn. A bounded number of tests is in flight.
class OrderedFileTests {
public:
    // Runs on a worker thread; `size` is the entry's size as listed.
    using Test = std::function<bool(const std::string& path, std::int64_t size)>;
    using Report = std::function<void(FoundEntry&&)>;

    // `diskReads` tells when the tests wait on the disk, and so may run on more threads.
    OrderedFileTests(Test test, Report report, DiskReadCounter diskReads = systemDiskReads());

    // Files read side by side at most. A disk whose files are not in the page cache serves a
    // dozen or more reads about as fast as one, so there are more readers than cores; when the
    // files are in the page cache only one per core runs. Each holds at most two chunks of its
    // file, which caps the chunks in memory at twice this count.
    static constexpr std::size_t kReaders = 16;
    ~OrderedFileTests();
    OrderedFileTests(const OrderedFileTests&) = delete;
    OrderedFileTests& operator=(const OrderedFileTests&) = delete;

    // Queues a file for its test; reports whatever finished before it meanwhile. Called
    // on the walk's thread.
    void submit(FoundEntry entry, std::string path);
    // Waits for every queued test and reports the rest, in order.
    void finish();

private:
    struct Job {
        FoundEntry entry;
        std::string path;
        bool done = false;
        bool passed = false;
    };

    void work();
    void reportFinishedHead(std::unique_lock<std::mutex>& lock, bool wait);
    // Waits until the oldest `walkWaitsFor_` jobs, or all, are done.
    void waitForHead(std::unique_lock<std::mutex>& lock);
    bool headReady() const;
    // Workers that may run at once: one per core while the files come from the page cache, all
    // of them while the tests wait on the disk.
    std::size_t runningLimit() const;

    Test test_;
    Report report_;
    DiskReadCounter diskReads_;
    std::mutex mutex_;
    // Threads are woken only when they wait for what changed: a worker for a new job, the walk
    // for the oldest job to finish. Waking every thread for every change costs more than the
    // tests of small files.
    WorkerThreads workers_;
    std::condition_variable headDone_;
    // Every job in the walk's order, and the ones no worker has taken yet.
    std::deque<std::shared_ptr<Job>> jobs_;
    std::deque<std::shared_ptr<Job>> unstarted_;
    bool walkWaiting_ = false;
    std::size_t walkWaitsFor_ = 1;
    DiskPace diskPace_{kReaders};
    std::size_t cores_;
    bool closing_ = false;
};

}  // namespace quillfen
