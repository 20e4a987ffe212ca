#include "search/ListingLookahead.h"

namespace quillfen {

ListingLookahead::ListingLookahead(const std::atomic<bool>& stopRequested, Lister lister,
                                   std::size_t allowance)
    : stopRequested_(stopRequested), lister_(std::move(lister)), allowance_(allowance) {
    if (allowance_ > 0) {
        thread_ = std::thread([this] { run(); });
    }
}

ListingLookahead::~ListingLookahead() {
    if (!thread_.joinable()) {
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        finished_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void ListingLookahead::obtain(PendingFolder& folder) {
    auto expected = PendingFolder::State::Waiting;
    if (folder.state.compare_exchange_strong(expected, PendingFolder::State::Listing,
                                             std::memory_order_acquire)) {
        lister_(folder);
        folder.state.store(PendingFolder::State::Listed, std::memory_order_relaxed);
        offerSubfolders(folder);
        return;
    }
    for (auto state = expected; state != PendingFolder::State::Listed;
         state = folder.state.load(std::memory_order_acquire)) {
        folder.state.wait(state, std::memory_order_acquire);
    }
}

void ListingLookahead::release(PendingFolder& folder) {
    if (folder.readAhead) {
        const std::size_t count = folder.entries.size();
        const std::size_t before = readAheadEntries_.fetch_sub(count, std::memory_order_relaxed);
        if (before >= allowance_ && before - count < allowance_) {
            const std::lock_guard lock(mutex_);
            wake_.notify_one();
        }
    }
    // A stale offer may keep the folder itself alive a little longer, but not its listing.
    folder.entries = {};
    folder.subfolders = {};
}

void ListingLookahead::offerSubfolders(const PendingFolder& folder) {
    if (allowance_ == 0 || folder.subfolders.empty() || paused()) {
        return;
    }
    bool wakeUp = false;
    {
        const std::lock_guard lock(mutex_);
        for (const auto& subfolder : folder.subfolders) {
            offered_.push_back(subfolder.second);
        }
        wakeUp = idle_;
    }
    if (wakeUp) {
        wake_.notify_one();
    }
}

void ListingLookahead::run() {
    for (;;) {
        std::shared_ptr<PendingFolder> next;
        {
            std::unique_lock lock(mutex_);
            idle_ = true;
            wake_.wait(lock, [this] { return finished_ || (!offered_.empty() && !paused()); });
            idle_ = false;
            if (finished_) {
                return;
            }
            next = std::move(offered_.back());
            offered_.pop_back();
        }
        auto expected = PendingFolder::State::Waiting;
        if (stopRequested_.load(std::memory_order_relaxed) ||
            !next->state.compare_exchange_strong(expected, PendingFolder::State::Listing,
                                                 std::memory_order_acquire)) {
            continue;
        }
        lister_(*next);
        next->readAhead = true;
        readAheadEntries_.fetch_add(next->entries.size(), std::memory_order_relaxed);
        // Offered before the folder is published: once the walk sees it listed, the walk may
        // release its listing at any time.
        offerSubfolders(*next);
        next->state.store(PendingFolder::State::Listed, std::memory_order_release);
        next->state.notify_all();
    }
}

}  // namespace quillfen
