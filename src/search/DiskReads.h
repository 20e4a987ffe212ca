#pragma once

#include <cstdint>
#include <functional>

namespace quillfen {

// Counts the reads from the disk the calling thread has caused. Work during which the count grows
// waited on the disk, not on the processor: more threads at such work keep the disk busier, while
// more threads at work in the page cache only share the cores.
using DiskReadCounter = std::function<std::uint64_t()>;

// The system's count for the calling thread (always 0 where the system does not tell).
DiskReadCounter systemDiskReads();

}  // namespace quillfen
