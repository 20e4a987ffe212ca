#include "search/ListingLookahead.h"

#include <algorithm>

namespace quillfen {

namespace {

bool claim(PendingFolder& folder) {
    auto expected = PendingFolder::State::Waiting;
    return folder.state.compare_exchange_strong(expected, PendingFolder::State::Listing,
                                                std::memory_order_acquire);
}

}  // namespace

ListingLookahead::ListingLookahead(const std::atomic<bool>& stopRequested, Lister lister,
                                   std::size_t allowance, std::size_t listers)
    : stopRequested_(stopRequested), lister_(std::move(lister)), allowance_(allowance) {
    if (allowance_ == 0) {
        return;
    }
    const std::size_t count = std::max<std::size_t>(listers, 1);
    threads_.reserve(count);
    for (std::size_t index = 0; index < count; ++index) {
        threads_.emplace_back([this] { run(); });
    }
}

ListingLookahead::~ListingLookahead() {
    if (threads_.empty()) {
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        finished_ = true;
        idleListers_.wakeAll();
    }
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

// The walk waits rather than list some other folder meanwhile: with the look-ahead threads
// listing the folders right after this one, a listing of its own would only hold the walk up
// when the disk is slow, and take a core from them when it is not.
void ListingLookahead::obtain(PendingFolder& folder) {
    if (claim(folder)) {
        lister_(folder);
        offerSubfolders(folder);
        folder.state.store(PendingFolder::State::Listed, std::memory_order_relaxed);
        return;
    }
    if (folder.state.load(std::memory_order_acquire) != PendingFolder::State::Listed) {
        waitUntilListed(folder);
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
            idleListers_.wake(offered_.size());
        }
    }
    // The folder itself lives on while its parent does (and a stale offer may keep it a little
    // longer), so its listing's memory goes now; clear() would keep the capacity.
    std::vector<platform::FolderEntry>().swap(folder.entries);
    std::vector<std::pair<std::size_t, std::shared_ptr<PendingFolder>>>().swap(folder.subfolders);
}

// Offers are kept while the look-ahead is paused: a subfolder left unoffered would be listed by
// the walk itself when it gets there, one listing at a time. They cost no more than the listing
// that holds them.
void ListingLookahead::offerSubfolders(const PendingFolder& folder) {
    if (allowance_ == 0 || folder.subfolders.empty()) {
        return;
    }
    const std::lock_guard lock(mutex_);
    // The first subfolder is the next to be visited, so it goes on top.
    for (auto subfolder = folder.subfolders.rbegin(); subfolder != folder.subfolders.rend();
         ++subfolder) {
        offered_.push_back(subfolder->second);
    }
    // One thread per new offer, so that a wide folder's subfolders are listed side by side.
    if (!paused()) {
        idleListers_.wake(folder.subfolders.size());
    }
}

std::shared_ptr<PendingFolder> ListingLookahead::takeOffer() {
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
    std::unique_lock lock(mutex_);
    while (!finished_) {
        if (stopRequested_.load(std::memory_order_relaxed)) {
            offered_.clear();
        } else if (!paused()) {
            if (const std::shared_ptr<PendingFolder> next = takeOffer()) {
                lock.unlock();
                listAhead(*next);
                lock.lock();
                continue;
            }
        }
        idleListers_.wait(lock, [this] { return finished_; });
    }
}

}  // namespace quillfen
