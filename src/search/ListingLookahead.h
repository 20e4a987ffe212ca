#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "search/PendingFolder.h"

namespace quillfen {

// Reads folder listings ahead of a walk on a second thread, so that the system's work of listing
// a tree is shared by two cores while the walk still visits every folder in its own order.
//
// Offered subfolders form a stack whose top is the next folder the walk will enter, so the
// look-ahead thread lists folders in the walk's own order, just ahead of it. When the walk needs
// a folder that the look-ahead thread is still reading, it lists the next offered one itself
// instead of waiting, so both cores list when listing is the bottleneck. The look-ahead thread
// pauses once the entries read ahead but not yet visited reach an allowance, so a slow walk (a
// content search) does not make the whole tree pile up in memory.
class ListingLookahead {
public:
    // Reads a folder's entries and fills in its subfolders; called on either thread.
    using Lister = std::function<void(PendingFolder&)>;

    // With an allowance of 0 nothing runs ahead: every folder is listed when the walk asks.
    ListingLookahead(const std::atomic<bool>& stopRequested, Lister lister, std::size_t allowance);
    ~ListingLookahead();
    ListingLookahead(const ListingLookahead&) = delete;
    ListingLookahead& operator=(const ListingLookahead&) = delete;

    // Returns once `folder` is listed: lists it here, unless the look-ahead thread is at it.
    void obtain(PendingFolder& folder);
    // The walk has visited all of `folder`'s entries.
    void release(PendingFolder& folder);

    // Entries read ahead that the walk has not visited, at which the look-ahead thread pauses.
    static constexpr std::size_t kDefaultAllowance = 16 * 1024;

private:
    void offerSubfolders(const PendingFolder& folder);
    // Claims the offered folder nearest to the walk, dropping offers the walk claimed already.
    std::shared_ptr<PendingFolder> takeOffer();
    // Lists a folder ahead of the walk and publishes it.
    void listAhead(PendingFolder& folder);
    // Blocks the walk until the look-ahead thread has published `folder`. A condition variable
    // rather than waiting on the atomic state: atomic waits are not dependable on every threads
    // library the program is built with.
    void waitUntilListed(const PendingFolder& folder);
    void run();
    bool paused() const { return readAheadEntries_.load(std::memory_order_relaxed) >= allowance_; }

    const std::atomic<bool>& stopRequested_;
    Lister lister_;
    const std::size_t allowance_;
    std::mutex mutex_;
    // Wakes the look-ahead thread.
    std::condition_variable wake_;
    // Wakes the walk when a folder it waits for is listed.
    std::condition_variable listed_;
    bool walkWaiting_ = false;
    // Offered folders, the next to be visited last; some may have been claimed since.
    std::vector<std::shared_ptr<PendingFolder>> offered_;
    bool idle_ = false;
    bool finished_ = false;
    std::atomic<std::size_t> readAheadEntries_{0};
    std::thread thread_;
};

}  // namespace quillfen
