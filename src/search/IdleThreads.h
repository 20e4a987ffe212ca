#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

namespace quillfen {

// The threads of a pool that wait for work, woken the most recently idle first. When the work is
// quick (files in the page cache), the same few threads then do all of it and the rest sleep on,
// so the pool costs little more than a pool of the cores' size; when the work waits on a disk,
// every waiting thread is woken in turn and the pool fills up. Every call is made with the pool's
// mutex held.
class IdleThreads {
public:
    // Waits until woken by `wake` or `wakeAll`, or until `shouldStop` holds after a wake-up.
    // True when woken.
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

    // Wakes up to `count` waiting threads, the most recently idle first.
    void wake(std::size_t count) {
        for (; count > 0 && !waiters_.empty(); --count) {
            Waiter* waiter = waiters_.back();
            waiters_.pop_back();
            waiter->woken = true;
            waiter->wakeUp.notify_one();
        }
    }

    void wakeAll() { wake(waiters_.size()); }

    std::size_t size() const { return waiters_.size(); }

private:
    struct Waiter {
        std::condition_variable wakeUp;
        bool woken = false;
    };

    std::vector<Waiter*> waiters_;
};

}  // namespace quillfen
