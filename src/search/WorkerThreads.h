#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace quillfen {

// The threads of a pool, each running the pool's loop, which waits here whenever it finds no work.
// Waiting threads are woken the most recently idle first, and a thread is started only when none
// is waiting. When the work is quick (files in the page cache), the same few threads then do all
// of it and the rest are never started or sleep on, so the pool costs little more than a pool of
// the cores' size; when the work waits on a disk, every waiting thread is woken in turn and the
// pool fills up. Every call but `join` is made with the owner's mutex held.
class WorkerThreads {
public:
    WorkerThreads(std::size_t most, std::function<void()> loop)
        : most_(most), loop_(std::move(loop)) {
        threads_.reserve(most_);
    }
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // Waits until woken by `wake`, or until `shouldStop` holds after a wake-up. True when woken.
    template <typename Predicate>
    bool wait(std::unique_lock<std::mutex>& lock, Predicate shouldStop) {
        Waiter self;
        waiters_.push_back(&self);
        self.wakeUp.wait(lock, [&] { return self.woken || shouldStop(); });
        if (!self.woken) {
            waiters_.erase(std::find(waiters_.begin(), waiters_.end(), &self));
        }
        return self.woken;
    }

    // Wakes up to `count` waiting threads, then starts new ones for the rest while fewer than
    // the most have been started and the pool is not closed; returns how many were woken or
    // started.
    std::size_t wake(std::size_t count) {
        std::size_t woken = 0;
        for (; woken < count && !waiters_.empty(); ++woken) {
            Waiter* waiter = waiters_.back();
            waiters_.pop_back();
            waiter->woken = true;
            waiter->wakeUp.notify_one();
        }
        for (; woken < count && threads_.size() < most_ && !closed_; ++woken) {
            threads_.emplace_back(loop_);
        }
        return woken;
    }

    // Starts no more threads and wakes every waiting one; returns how many were woken.
    std::size_t close() {
        closed_ = true;
        return wake(waiters_.size());
    }

    // Waits for every thread to end; called without the owner's mutex, after `close`.
    void join() {
        for (std::thread& thread : threads_) {
            thread.join();
        }
    }

    std::size_t waiting() const { return waiters_.size(); }

private:
    struct Waiter {
        std::condition_variable wakeUp;
        bool woken = false;
    };

    const std::size_t most_;
    const std::function<void()> loop_;
    bool closed_ = false;
    std::vector<Waiter*> waiters_;
    std::vector<std::thread> threads_;
};

}  // namespace quillfen
