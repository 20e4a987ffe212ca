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
// pool fills up.
//
// The pool counts the threads at work and those woken or started that have not looked for work
// yet, so that a burst of work does not wake more threads than may run. Every call but `join` is
// made with the owner's mutex held, which the pool is given.
class WorkerThreads {
public:
    WorkerThreads(std::mutex& mutex, std::size_t most, std::function<void()> loop)
        : mutex_(mutex), most_(most), loop_(std::move(loop)) {
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
            return false;
        }
        --starting_;
        return true;
    }

    // Wakes up to `count` waiting threads, then starts new ones for the rest while fewer than
    // the most have been started and the pool is not closed; never more than bring the threads
    // running (at work or starting) to `limit`.
    void wake(std::size_t count, std::size_t limit) {
        count = std::min(count, limit > running() ? limit - running() : 0);
        for (; count > 0 && !waiters_.empty(); --count) {
            Waiter* waiter = waiters_.back();
            waiters_.pop_back();
            waiter->woken = true;
            waiter->wakeUp.notify_one();
            ++starting_;
        }
        for (; count > 0 && threads_.size() < most_ && !closed_; --count) {
            threads_.emplace_back([this] { run(); });
            ++starting_;
        }
    }

    // A thread takes up work, or is done with it.
    void beginWork() { ++busy_; }
    void endWork() { --busy_; }
    std::size_t busy() const { return busy_; }

    // Starts no more threads and wakes every waiting one.
    void close() {
        closed_ = true;
        wake(waiters_.size(), running() + waiters_.size());
    }

    // Waits for every thread to end; called without the owner's mutex, after `close`.
    void join() {
        for (std::thread& thread : threads_) {
            thread.join();
        }
    }

private:
    struct Waiter {
        std::condition_variable wakeUp;
        bool woken = false;
    };

    std::size_t running() const { return busy_ + starting_; }

    void run() {
        {
            const std::lock_guard lock(mutex_);
            --starting_;
        }
        loop_();
    }

    std::mutex& mutex_;
    const std::size_t most_;
    const std::function<void()> loop_;
    bool closed_ = false;
    std::size_t busy_ = 0;
    std::size_t starting_ = 0;
    std::vector<Waiter*> waiters_;
    std::vector<std::thread> threads_;
};

}  // namespace quillfen
