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

FileTime LinuxClock::fromLocalTime(const LocalTime& local) const {
    tm fields{};
    fields.tm_year = local.year - 1900;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_sec = local.second;
    fields.tm_isdst = -1;
    const time_t seconds = ::mktime(&fields);
    if (seconds == static_cast<time_t>(-1)) {
        return 0;
    }
    return toFileTime(timespec{seconds, 0});
}

}  // namespace quillfen::platform
