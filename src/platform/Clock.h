#pragma once

#include "platform/FileTime.h"

namespace quillfen::platform {

class Clock {
public:
    virtual ~Clock() = default;

    virtual FileTime now() const = 0;
    virtual LocalTime toLocalTime(FileTime time) const = 0;
};

}  // namespace quillfen::platform
