#include "search/ListingLookahead.h"

namespace quillfen {

namespace {

bool claim(PendingFolder& folder) {
    auto expected = PendingFolder::State::Waiting;
    return folder.state.compare_exchange_strong(expected, PendingFolder::State::Listing,
                                                std::memory_order_acquire);
}

}  // namespace

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
    if (claim(folder)) {
        lister_(folder);
        offerSubfolders(folder);
        folder.state.store(PendingFolder::State::Listed, std::memory_order_relaxed);
        return;
    }
    // The look-ahead thread is at it. Rather than wait, the walk lists what comes after it,
    // within the same allowance: the look-ahead thread may be held up for long.
    while (folder.state.load(std::memory_order_acquire) != PendingFolder::State::Listed) {
        const std::shared_ptr<PendingFolder> other = paused() ? nullptr : takeOffer();
        if (other) {
            listAhead(*other);
        } else {
            waitUntilListed(folder);
        }
    }
}

void ListingLookahead::waitUntilListed(const PendingFolder& folder) {
    std::unique_lock lock(mutex_);
    walkWaiting_ = true;
    listed_.wait(lock, [&folder] {
        return folder.state.load(std::memory_order_acquire) == PendingFolder::State::Listed;
    });
    walkWaiting_ = false;
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
    // The folder itself lives on while its parent does (and a stale offer may keep it a little
    // longer), so its listing's memory goes now; clear() would keep the capacity.
    std::vector<platform::FolderEntry>().swap(folder.entries);
    std::vector<std::pair<std::size_t, std::shared_ptr<PendingFolder>>>().swap(folder.subfolders);
}

void ListingLookahead::offerSubfolders(const PendingFolder& folder) {
    if (allowance_ == 0 || folder.subfolders.empty() || paused()) {
        return;
    }
    bool wakeUp = false;
    {
        const std::lock_guard lock(mutex_);
        // The first subfolder is the next to be visited, so it goes on top.
        for (auto subfolder = folder.subfolders.rbegin(); subfolder != folder.subfolders.rend();
             ++subfolder) {
            offered_.push_back(subfolder->second);
        }
        wakeUp = idle_;
    }
    if (wakeUp) {
        wake_.notify_one();
    }
}

std::shared_ptr<PendingFolder> ListingLookahead::takeOffer() {
    const std::lock_guard lock(mutex_);
    while (!offered_.empty()) {
        std::shared_ptr<PendingFolder> next = std::move(offered_.back());
        offered_.pop_back();
        if (claim(*next)) {
            return next;
        }
    }
    return nullptr;
}

void ListingLookahead::listAhead(PendingFolder& folder) {
    lister_(folder);
    folder.readAhead = true;
    readAheadEntries_.fetch_add(folder.entries.size(), std::memory_order_relaxed);
    // Offered before the folder is published: once the walk sees it listed, the walk may
    // release its listing at any time.
    offerSubfolders(folder);
    // Published under the lock, so a walk that is about to wait cannot miss it.
    bool wakeWalk = false;
    {
        const std::lock_guard lock(mutex_);
        folder.state.store(PendingFolder::State::Listed, std::memory_order_release);
        wakeWalk = walkWaiting_;
    }
    if (wakeWalk) {
        listed_.notify_one();
    }
}

void ListingLookahead::run() {
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            idle_ = true;
            wake_.wait(lock, [this] { return finished_ || (!offered_.empty() && !paused()); });
            idle_ = false;
            if (finished_) {
                return;
            }
        }
        if (stopRequested_.load(std::memory_order_relaxed)) {
            const std::lock_guard lock(mutex_);
            offered_.clear();
            continue;
        }
        if (const std::shared_ptr<PendingFolder> next = takeOffer()) {
            listAhead(*next);
        }
    }
}

}  // namespace quillfen
