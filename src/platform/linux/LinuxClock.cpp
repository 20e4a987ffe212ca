#include "platform/linux/LinuxClock.h"

#include <time.h>

#include "platform/linux/LinuxFileTime.h"

namespace quillfen::platform {

FileTime LinuxClock::now() const {
    timespec current{};
    ::clock_gettime(CLOCK_REALTIME, &current);
    return toFileTime(current);
}

LocalTime LinuxClock::toLocalTime(FileTime time) const {
    const timespec moment = toTimespec(time);
    tm fields{};
    if (::localtime_r(&moment.tv_sec, &fields) == nullptr) {
        return LocalTime{1601, 1, 1, 0, 0, 0};
    }
    return LocalTime{fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
                     fields.tm_hour,        fields.tm_min,     fields.tm_sec};
}

}  // namespace quillfen::platform
