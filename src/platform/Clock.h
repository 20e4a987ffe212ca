#pragma once

#include "platform/FileTime.h"

namespace quillfen::platform {

class Clock {
public:
    virtual ~Clock() = default;

    virtual FileTime now() const = 0;
    virtual LocalTime toLocalTime(FileTime time) const = 0;
    // The moment a local calendar time names, daylight-saving time decided by the rules of the
    // day; 0 when it cannot be represented.
    virtual FileTime fromLocalTime(const LocalTime& local) const = 0;
};

}  // namespace quillfen::platform
