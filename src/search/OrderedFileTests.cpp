#include "search/OrderedFileTests.h"

#include <algorithm>
#include <utility>

namespace quillfen {

namespace {

// Tests queued in the walk's order: enough that a slow file at the head does not leave the other
// readers idle, few enough that the queue stays small.
constexpr std::size_t kMaxJobsInFlight = 4 * OrderedFileTests::kReaders;

}  // namespace

OrderedFileTests::OrderedFileTests(Test test, Report report, DiskReadCounter diskReads)
    : test_(std::move(test)),
      report_(std::move(report)),
      diskReads_(std::move(diskReads)),
      workers_(mutex_, kReaders, [this] { work(); }),
      cores_(std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kReaders)) {}

OrderedFileTests::~OrderedFileTests() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
        workers_.close();
    }
    workers_.join();
}

void OrderedFileTests::submit(FoundEntry entry, std::string path) {
    std::unique_lock lock(mutex_);
    reportFinishedHead(lock, false);
    if (jobs_.size() >= kMaxJobsInFlight) {
        // Woken once half the tests in flight are done rather than for each one.
        walkWaitsFor_ = kMaxJobsInFlight / 2;
        waitForHead(lock);
        reportFinishedHead(lock, false);
    }
    auto job = std::make_shared<Job>();
    job->entry = std::move(entry);
    job->path = std::move(path);
    jobs_.push_back(job);
    unstarted_.push_back(std::move(job));
    // Threads are started only when no idle one is left, so a search of files in the page cache
    // never starts more than one per core.
    workers_.wake(1, runningLimit());
}

std::size_t OrderedFileTests::runningLimit() const {
    return diskPace_.slow() ? kReaders : cores_;
}

void OrderedFileTests::finish() {
    std::unique_lock lock(mutex_);
    walkWaitsFor_ = 1;
    reportFinishedHead(lock, true);
}

bool OrderedFileTests::headReady() const {
    std::size_t done = 0;
    while (done < jobs_.size() && jobs_[done]->done) {
        if (++done >= walkWaitsFor_) {
            return true;
        }
    }
    return done == jobs_.size();
}

void OrderedFileTests::waitForHead(std::unique_lock<std::mutex>& lock) {
    walkWaiting_ = true;
    headDone_.wait(lock, [this] { return headReady(); });
    walkWaiting_ = false;
}

void OrderedFileTests::reportFinishedHead(std::unique_lock<std::mutex>& lock, bool wait) {
    while (!jobs_.empty()) {
        if (!jobs_.front()->done) {
            if (!wait) {
                return;
            }
            waitForHead(lock);
        }
        const std::shared_ptr<Job> job = std::move(jobs_.front());
        jobs_.pop_front();
        if (job->passed) {
            lock.unlock();
            report_(std::move(job->entry));
            lock.lock();
        }
    }
}

void OrderedFileTests::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        // Closing, every worker helps to empty the queue.
        if (unstarted_.empty() || (workers_.busy() >= runningLimit() && !closing_)) {
            if (closing_) {
                return;
            }
            workers_.wait(lock, [this] { return closing_; });
            continue;
        }
        const std::shared_ptr<Job> job = std::move(unstarted_.front());
        unstarted_.pop_front();
        workers_.beginWork();
        lock.unlock();
        const std::uint64_t diskReadsBefore = diskReads_();
        const bool passed = test_(job->path, job->entry.size);
        const bool fromDisk = diskReads_() != diskReadsBefore;
        lock.lock();
        job->passed = passed;
        job->done = true;
        diskPace_.record(fromDisk);
        if (diskPace_.slow()) {
            // This worker goes on with the next test; the others join it while the disk is slow.
            workers_.wake(unstarted_.size(), kReaders);
        }
        workers_.endWork();
        if (walkWaiting_ && headReady()) {
            headDone_.notify_one();
        }
    }
}

}  // namespace quillfen
