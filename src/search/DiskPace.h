#pragma once

#include <cstddef>

namespace quillfen {

// Whether the work of a pool's threads (listings, file reads) waits on the disk, judged from the
// work done last. One piece that waited makes the disk count as slow; it counts as fast again only
// once as many pieces in a row as the pool has threads have not waited, so that a few folders or
// files which happen to be in the page cache do not idle the pool in the middle of a cold search.
class DiskPace {
public:
    explicit DiskPace(std::size_t patience) : patience_(patience) {}

    void record(bool waitedOnDisk) {
        unwaitedInARow_ = waitedOnDisk ? 0 : unwaitedInARow_ + 1;
        slow_ = waitedOnDisk || (slow_ && unwaitedInARow_ < patience_);
    }

    bool slow() const { return slow_; }

private:
    const std::size_t patience_;
    std::size_t unwaitedInARow_ = 0;
    bool slow_ = false;
};

}  // namespace quillfen
