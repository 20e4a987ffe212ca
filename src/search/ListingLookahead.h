#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "search/IdleThreads.h"
#include "search/PendingFolder.h"

namespace quillfen {

// Reads folder listings ahead of a walk on a few threads of its own, so that a disk that serves
// many requests at once has several listings to work on, and the system's work of listing a tree
// in the page cache is shared by the cores, while the walk still visits every folder in its own
// order.
//
// Offered subfolders form a stack whose top is the next folder the walk will enter, so the
// look-ahead threads list folders in the walk's own order, just ahead of it; their listings may
// finish in any order, and the walk takes each folder when it gets there. A folder that no thread
// has claimed yet is listed by the walk itself. The look-ahead threads pause once the entries
// read ahead but not yet visited reach an allowance, so a slow walk (a content search) does not
// make the whole tree pile up in memory: at most the allowance plus one folder per thread is held
// ahead of the walk.
class ListingLookahead {
public:
    // Reads a folder's entries and fills in its subfolders; called on any of the threads.
    using Lister = std::function<void(PendingFolder&)>;

    // With an allowance of 0 nothing runs ahead: every folder is listed when the walk asks.
    // Otherwise `listers` threads (at least one) list ahead, so that many listings are in flight.
    ListingLookahead(const std::atomic<bool>& stopRequested, Lister lister, std::size_t allowance,
                     std::size_t listers = 1);
    ~ListingLookahead();
    ListingLookahead(const ListingLookahead&) = delete;
    ListingLookahead& operator=(const ListingLookahead&) = delete;

    // Returns once `folder` is listed: lists it here, unless a look-ahead thread is at it.
    void obtain(PendingFolder& folder);
    // The walk has visited all of `folder`'s entries.
    void release(PendingFolder& folder);

    // Entries read ahead that the walk has not visited, at which the look-ahead threads pause.
    static constexpr std::size_t kDefaultAllowance = 16 * 1024;
    // Listings in flight ahead of the walk. A disk whose folders are not in the page cache serves
    // a dozen or more requests about as fast as one; in the page cache the threads only share the
    // cores, and they pause at the allowance.
    static constexpr std::size_t kDefaultListers = 16;

private:
    void offerSubfolders(const PendingFolder& folder);
    // Claims the offered folder nearest to the walk, dropping offers the walk claimed already.
    // Called with the lock held.
    std::shared_ptr<PendingFolder> takeOffer();
    // Lists a folder ahead of the walk and publishes it.
    void listAhead(PendingFolder& folder);
    // Blocks the walk until a look-ahead thread has published `folder`. A condition variable
    // rather than waiting on the atomic state: atomic waits are not dependable on every threads
    // library the program is built with.
    void waitUntilListed(const PendingFolder& folder);
    void run();
    bool paused() const { return readAheadEntries_.load(std::memory_order_relaxed) >= allowance_; }

    const std::atomic<bool>& stopRequested_;
    Lister lister_;
    const std::size_t allowance_;
    std::mutex mutex_;
    IdleThreads idleListers_;
    // Wakes the walk when a folder it waits for is listed.
    std::condition_variable listed_;
    bool walkWaiting_ = false;
    // Offered folders, the next to be visited last; some may have been claimed since.
    std::vector<std::shared_ptr<PendingFolder>> offered_;
    bool finished_ = false;
    std::atomic<std::size_t> readAheadEntries_{0};
    std::vector<std::thread> threads_;
};

}  // namespace quillfen
