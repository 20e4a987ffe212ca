#pragma once

#include <cstdint>

namespace quillfen::platform {

// File times are 100-nanosecond units since 1601-01-01 UTC, kept at full precision so that two
// files' times can be compared exactly. 0 marks a failed lookup.
using FileTime = std::uint64_t;

// A moment as the local calendar shows it.
struct LocalTime {
    int year = 0;
    int month = 0;  // 1-12
    int day = 0;    // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const LocalTime&) const = default;
};

}  // namespace quillfen::platform
