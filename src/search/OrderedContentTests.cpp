#include "search/OrderedContentTests.h"

#include <algorithm>

#include "search/ContentMatcher.h"

namespace quillfen {

namespace {

// Enough tests in flight to keep every core reading while the walk lists ahead, few enough that
// memory stays small.
constexpr std::size_t kMaxJobsInFlight = 32;

std::size_t workerCount() {
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp<std::size_t>(cores, 1, 8);
}

}  // namespace

OrderedContentTests::OrderedContentTests(const ContentCriteria& criteria,
                                         const std::atomic<bool>& stopRequested, Report report)
    : criteria_(criteria), stopRequested_(stopRequested), report_(std::move(report)) {
    const std::size_t count = workerCount();
    for (std::size_t i = 0; i < count; ++i) {
        workers_.emplace_back([this] { work(); });
    }
}

OrderedContentTests::~OrderedContentTests() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
}

void OrderedContentTests::submit(FoundEntry entry, std::string path) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return jobs_.size() < kMaxJobsInFlight || jobs_.front()->done; });
    reportFinishedHead(lock, false);
    auto job = std::make_shared<Job>();
    job->entry = std::move(entry);
    job->path = std::move(path);
    jobs_.push_back(std::move(job));
    lock.unlock();
    changed_.notify_all();
}

void OrderedContentTests::finish() {
    std::unique_lock lock(mutex_);
    reportFinishedHead(lock, true);
}

void OrderedContentTests::reportFinishedHead(std::unique_lock<std::mutex>& lock, bool wait) {
    for (;;) {
        if (jobs_.empty()) {
            return;
        }
        if (!jobs_.front()->done) {
            if (!wait) {
                return;
            }
            changed_.wait(lock, [this] { return jobs_.front()->done; });
        }
        const std::shared_ptr<Job> job = jobs_.front();
        jobs_.pop_front();
        changed_.notify_all();
        if (job->passed) {
            lock.unlock();
            report_(std::move(job->entry));
            lock.lock();
        }
    }
}

void OrderedContentTests::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        std::shared_ptr<Job> next;
        changed_.wait(lock, [&] {
            const auto waiting = std::find_if(jobs_.begin(), jobs_.end(),
                                              [](const auto& job) { return !job->started; });
            if (waiting != jobs_.end()) {
                next = *waiting;
                return true;
            }
            return closing_;
        });
        if (!next) {
            return;
        }
        next->started = true;
        lock.unlock();
        const bool passed =
            fileContentMatches(next->path, next->entry.size, criteria_, stopRequested_);
        lock.lock();
        next->passed = passed;
        next->done = true;
        changed_.notify_all();
    }
}

}  // namespace quillfen
