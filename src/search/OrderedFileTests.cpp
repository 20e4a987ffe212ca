#include "search/OrderedFileTests.h"

#include <utility>

namespace quillfen {

namespace {

// Files read side by side. A disk whose files are not in the page cache serves a dozen or more
// reads about as fast as one, so there are more readers than cores; when the files are in the
// page cache the readers only share the cores. Each holds at most two chunks of its file, which
// caps the chunks in memory at twice this count.
constexpr std::size_t kWorkers = 16;
// Tests queued in the walk's order: enough that a slow file at the head does not leave the other
// readers idle, few enough that the queue stays small.
constexpr std::size_t kMaxJobsInFlight = 4 * kWorkers;

}  // namespace

OrderedFileTests::OrderedFileTests(Test test, Report report)
    : test_(std::move(test)), report_(std::move(report)) {
    for (std::size_t i = 0; i < kWorkers; ++i) {
        workers_.emplace_back([this] { work(); });
    }
}

OrderedFileTests::~OrderedFileTests() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    jobQueued_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
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
    const bool wakeWorker = idleWorkers_ > 0;
    lock.unlock();
    if (wakeWorker) {
        jobQueued_.notify_one();
    }
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
        ++idleWorkers_;
        jobQueued_.wait(lock, [this] { return !unstarted_.empty() || closing_; });
        --idleWorkers_;
        if (unstarted_.empty()) {
            return;
        }
        const std::shared_ptr<Job> job = std::move(unstarted_.front());
        unstarted_.pop_front();
        lock.unlock();
        const bool passed = test_(job->path, job->entry.size);
        lock.lock();
        job->passed = passed;
        job->done = true;
        if (walkWaiting_ && headReady()) {
            headDone_.notify_one();
        }
    }
}

}  // namespace quillfen
