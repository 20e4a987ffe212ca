#include "search/ListingLookahead.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace quillfen {

namespace {

bool claim(PendingFolder& folder) {
    auto expected = PendingFolder::State::Waiting;
    return folder.state.compare_exchange_strong(expected, PendingFolder::State::Listing,
                                                std::memory_order_acquire);
}

bool isListed(const PendingFolder& folder) {
    return folder.state.load(std::memory_order_acquire) == PendingFolder::State::Listed;
}

// The walk lists folders too, so one core is left to it.
std::size_t listersForTheCores(std::size_t most) {
    const std::size_t cores = std::thread::hardware_concurrency();
    return std::clamp<std::size_t>(cores > 1 ? cores - 1 : 1, 1, most);
}

}  // namespace

ListingLookahead::ListingLookahead(const std::atomic<bool>& stopRequested, Lister lister,
                                   std::size_t allowance, std::size_t listers,
                                   DiskReadCounter diskReads)
    : stopRequested_(stopRequested),
      lister_(std::move(lister)),
      allowance_(allowance),
      diskReads_(std::move(diskReads)),
      mostListers_(std::max<std::size_t>(listers, 1)),
      coreListers_(listersForTheCores(mostListers_)),
      listers_(mutex_, allowance_ == 0 ? 0 : mostListers_, [this] { run(); }),
      diskPace_(mostListers_) {}

ListingLookahead::~ListingLookahead() {
    {
        const std::lock_guard lock(mutex_);
        finished_ = true;
        listers_.close();
    }
    listers_.join();
}

void ListingLookahead::obtain(PendingFolder& folder) {
    if (claim(folder)) {
        if (allowance_ == 0) {
            lister_(folder);
        } else {
            const bool fromDisk = listFolder(folder);
            const std::lock_guard lock(mutex_);
            diskPace_.record(fromDisk);
            offerSubfolders(folder);
        }
        folder.state.store(PendingFolder::State::Listed, std::memory_order_relaxed);
        return;
    }
    while (!isListed(folder)) {
        if (const std::shared_ptr<PendingFolder> other = offerForTheWalk()) {
            listAhead(*other);
        } else {
            waitUntilListed(folder);
        }
    }
}

// On a slow disk the walk only waits: the look-ahead threads keep the disk busy, and a listing of
// its own would hold the walk up after the folder it waits for has come.
std::shared_ptr<PendingFolder> ListingLookahead::offerForTheWalk() {
    const std::lock_guard lock(mutex_);
    if (diskPace_.slow() || paused() || stopRequested_.load(std::memory_order_relaxed)) {
        return nullptr;
    }
    return takeOffer();
}

bool ListingLookahead::listFolder(PendingFolder& folder) {
    const std::uint64_t before = diskReads_();
    lister_(folder);
    return diskReads_() != before;
}

void ListingLookahead::waitUntilListed(const PendingFolder& folder) {
    std::unique_lock lock(mutex_);
    walkWaiting_ = true;
    listed_.wait(lock, [&folder] { return isListed(folder); });
    walkWaiting_ = false;
}

void ListingLookahead::release(PendingFolder& folder) {
    if (folder.readAhead) {
        const std::size_t count = folder.entries.size();
        const std::size_t before = readAheadEntries_.fetch_sub(count, std::memory_order_relaxed);
        if (before >= allowance_ && before - count < allowance_) {
            const std::lock_guard lock(mutex_);
            startListers();
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
    // The first subfolder is the next to be visited, so it goes on top.
    for (auto subfolder = folder.subfolders.rbegin(); subfolder != folder.subfolders.rend();
         ++subfolder) {
        if (subfolder->second) {
            offered_.push_back(subfolder->second);
        }
    }
    startListers();
}

// One thread per offer, so that a wide folder's subfolders are listed side by side.
void ListingLookahead::startListers() {
    if (!paused()) {
        listers_.wake(offered_.size(), runningLimit());
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
    const bool fromDisk = listFolder(folder);
    folder.readAhead = true;
    readAheadEntries_.fetch_add(folder.entries.size(), std::memory_order_relaxed);
    bool wakeWalk = false;
    {
        const std::lock_guard lock(mutex_);
        diskPace_.record(fromDisk);
        // Offered before the folder is published: once the walk sees it listed, the walk may
        // release its listing at any time. Published under the lock, so a walk that is about to
        // wait cannot miss it.
        offerSubfolders(folder);
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
        } else if (!paused() && listers_.busy() < runningLimit()) {
            if (const std::shared_ptr<PendingFolder> next = takeOffer()) {
                listers_.beginWork();
                lock.unlock();
                listAhead(*next);
                lock.lock();
                listers_.endWork();
                continue;
            }
        }
        listers_.wait(lock, [this] { return finished_; });
    }
}

}  // namespace quillfen
