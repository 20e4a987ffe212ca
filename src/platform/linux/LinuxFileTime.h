#pragma once

#include <time.h>

#include "platform/FileTime.h"

namespace quillfen::platform {

// Seconds between 1601-01-01 and 1970-01-01.
constexpr long long kSecondsFrom1601To1970 = 11644473600LL;

inline FileTime toFileTime(const timespec& time) {
    const long long seconds = static_cast<long long>(time.tv_sec) + kSecondsFrom1601To1970;
    if (seconds < 0) {
        return 0;
    }
    return static_cast<FileTime>(seconds) * 10'000'000ULL +
           static_cast<FileTime>(time.tv_nsec / 100);
}

inline timespec toTimespec(FileTime time) {
    timespec result{};
    result.tv_sec =
        static_cast<time_t>(static_cast<long long>(time / 10'000'000ULL) - kSecondsFrom1601To1970);
    result.tv_nsec = static_cast<long>(time % 10'000'000ULL) * 100;
    return result;
}

}  // namespace quillfen::platform
