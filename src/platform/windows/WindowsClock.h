#pragma once

#include <windows.h>

#include <optional>

#include "platform/Clock.h"

namespace quillfen::platform {

// The system clock and the machine's time zone, with its daylight-saving rules of each year.
class WindowsClock final : public Clock {
public:
    WindowsClock() = default;
    // A given time zone in place of the machine's.
    explicit WindowsClock(const TIME_ZONE_INFORMATION& zone) : zone_(zone) {}

    FileTime now() const override;
    LocalTime toLocalTime(FileTime time) const override;
    FileTime fromLocalTime(const LocalTime& local) const override;

private:
    const TIME_ZONE_INFORMATION* zone() const { return zone_ ? &*zone_ : nullptr; }

    std::optional<TIME_ZONE_INFORMATION> zone_;
};

}  // namespace quillfen::platform
