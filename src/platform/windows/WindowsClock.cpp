#include "platform/windows/WindowsClock.h"

#include <windows.h>

namespace quillfen::platform {

namespace {

FileTime fileTimeOf(const FILETIME& time) {
    return (static_cast<FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME toFiletime(FileTime time) {
    return {static_cast<DWORD>(time & 0xFFFFFFFFu), static_cast<DWORD>(time >> 32)};
}

constexpr long long kSecondsFrom1601To1970 = 11644473600LL;
constexpr long long kSecondsPerDay = 86400;
constexpr FileTime kTicksPerSecond = 10'000'000;

// Days from 1970-01-01 to the first of the month in the proleptic Gregorian calendar; the month
// may lie outside 1-12 and carries into the year.
long long daysToMonth(long long year, long long month) {
    year += (month >= 1 ? (month - 1) / 12 : (month - 12) / 12);
    month = ((month - 1) % 12 + 12) % 12 + 1;
    year -= month <= 2 ? 1 : 0;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The calendar time with fields out of their ranges carried over (the 32nd of a month is the
// first of the next, second 60 the next minute), as the C library's mktime does, so that both
// platforms read the same moment from a loosely filled time; nothing before 1601.
bool normalised(const LocalTime& local, SYSTEMTIME& fields) {
    const long long seconds =
        (daysToMonth(local.year, local.month) + local.day - 1) * kSecondsPerDay +
        local.hour * 3600LL + local.minute * 60LL + local.second + kSecondsFrom1601To1970;
    if (seconds < 0) {
        return false;
    }
    const FILETIME asIfUniversal = toFiletime(static_cast<FileTime>(seconds) * kTicksPerSecond);
    return FileTimeToSystemTime(&asIfUniversal, &fields) != FALSE;
}

}  // namespace

FileTime WindowsClock::now() const {
    FILETIME time{};
    GetSystemTimeAsFileTime(&time);
    return fileTimeOf(time);
}

// Through the time-zone rules of the moment's own year, as the Linux clock does, not the
// current daylight-saving offset that FileTimeToLocalFileTime would apply to every date.
LocalTime WindowsClock::toLocalTime(FileTime time) const {
    const FILETIME utc = toFiletime(time);
    SYSTEMTIME universal{};
    SYSTEMTIME local{};
    if (!FileTimeToSystemTime(&utc, &universal) ||
        !SystemTimeToTzSpecificLocalTime(zone(), &universal, &local)) {
        return LocalTime{1601, 1, 1, 0, 0, 0};
    }
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

FileTime WindowsClock::fromLocalTime(const LocalTime& local) const {
    SYSTEMTIME given{};
    if (!normalised(local, given)) {
        return 0;
    }
    SYSTEMTIME universal{};
    FILETIME time{};
    if (!TzSpecificLocalTimeToSystemTime(zone(), &given, &universal) ||
        !SystemTimeToFileTime(&universal, &time)) {
        return 0;
    }
    return fileTimeOf(time);
}

}  // namespace quillfen::platform
