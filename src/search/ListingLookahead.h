#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "search/DiskPace.h"
#include "search/DiskReads.h"
#include "search/PendingFolder.h"
#include "search/WorkerThreads.h"

namespace quillfen {

// Reads folder listings ahead of a walk on threads of its own, so that a disk that serves many
// requests at once has several listings to work on, and the system's work of listing a tree in the
// page cache is shared by the cores, while the walk still visits every folder in its own order.
//
// Offered subfolders form a stack whose top is the next folder the walk will enter, so the
// look-ahead threads list folders in the walk's own order, just ahead of it; their listings may
// finish in any order, and the walk takes each folder when it gets there. A folder that no thread
// has claimed yet is listed by the walk itself.
//
// While the listings come from the page cache, one look-ahead thread per core but one runs, and
// the walk, when it must wait for a folder, lists the next offered one meanwhile: the work is the
// processor's, and more threads would only share the cores and the locks. Once a listing has had
// to wait on the disk, up to all the look-ahead threads run and the walk only waits, until as many
// listings in a row as there are threads have come from the page cache (`DiskPace`).
//
// The look-ahead threads pause once the entries read ahead but not yet visited reach an allowance,
// so a slow walk (a content search) does not make the whole tree pile up in memory: at most the
// allowance plus one folder per thread is held ahead of the walk.
class ListingLookahead {
public:
    // Reads a folder's entries and fills in its subfolders; called on any of the threads.
    using Lister = std::function<void(PendingFolder&)>;

    // With an allowance of 0 nothing runs ahead: every folder is listed when the walk asks.
    // Otherwise up to `listers` threads (at least one) list ahead, so that many listings are in
    // flight while `diskReads` shows that they wait on the disk.
    ListingLookahead(const std::atomic<bool>& stopRequested, Lister lister, std::size_t allowance,
                     std::size_t listers = 1, DiskReadCounter diskReads = systemDiskReads());
    ~ListingLookahead();
    ListingLookahead(const ListingLookahead&) = delete;
    ListingLookahead& operator=(const ListingLookahead&) = delete;

    // Returns once `folder` is listed: lists it here, unless a look-ahead thread is at it.
    void obtain(PendingFolder& folder);
    // The walk has visited all of `folder`'s entries.
    void release(PendingFolder& folder);

    // Entries read ahead that the walk has not visited, at which the look-ahead threads pause.
    static constexpr std::size_t kDefaultAllowance = 16 * 1024;
    // Listings in flight ahead of the walk at most. A disk whose folders are not in the page cache
    // serves a dozen or more requests about as fast as one.
    static constexpr std::size_t kDefaultListers = 16;

private:
    // Lists a folder; true when the listing had to wait on the disk.
    bool listFolder(PendingFolder& folder);
    // Offers the folder's subfolders and wakes look-ahead threads for them. Called with the lock
    // held.
    void offerSubfolders(const PendingFolder& folder);
    // Claims the offered folder nearest to the walk, dropping offers the walk claimed already.
    // Called with the lock held.
    std::shared_ptr<PendingFolder> takeOffer();
    // An offered folder for the walk to list while it waits for a listing in the page cache.
    std::shared_ptr<PendingFolder> offerForTheWalk();
    // Lists a folder ahead of the walk and publishes it.
    void listAhead(PendingFolder& folder);
    // Blocks the walk until a look-ahead thread has published `folder`. A condition variable
    // rather than waiting on the atomic state: atomic waits are not dependable on every threads
    // library the program is built with.
    void waitUntilListed(const PendingFolder& folder);
    // Wakes or starts look-ahead threads for the offers, as many as may run. Called with the lock
    // held.
    void startListers();
    std::size_t runningLimit() const { return diskPace_.slow() ? mostListers_ : coreListers_; }
    void run();
    bool paused() const { return readAheadEntries_.load(std::memory_order_relaxed) >= allowance_; }

    const std::atomic<bool>& stopRequested_;
    Lister lister_;
    const std::size_t allowance_;
    DiskReadCounter diskReads_;
    const std::size_t mostListers_;
    const std::size_t coreListers_;
    std::mutex mutex_;
    WorkerThreads listers_;
    DiskPace diskPace_;
    // Wakes the walk when a folder it waits for is listed.
    std::condition_variable listed_;
    bool walkWaiting_ = false;
    // Offered folders, the next to be visited last; some may have been claimed since.
    std::vector<std::shared_ptr<PendingFolder>> offered_;
    bool finished_ = false;
    std::atomic<std::size_t> readAheadEntries_{0};
};

}  // namespace quillfen
