#pragma once

#include "platform/Clock.h"

namespace quillfen::platform {

class LinuxClock final : public Clock {
public:
    FileTime now() const override;
    LocalTime toLocalTime(FileTime time) const override;
    FileTime fromLocalTime(const LocalTime& local) const override;
};

}  // namespace quillfen::platform
