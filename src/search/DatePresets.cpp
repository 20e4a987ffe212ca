#include "search/DatePresets.h"

#include <algorithm>

#include "platform/Platform.h"

namespace quillfen {

namespace {

constexpr platform::FileTime kOneWeek = 7ULL * 24 * 60 * 60 * 10'000'000ULL;

CalendarDate localDay(platform::FileTime time) {
    const platform::LocalTime local = platform::currentPlatform().clock().toLocalTime(time);
    return CalendarDate{local.year, local.month, local.day};
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

}  // namespace

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && isLeapYear(year)) {
        return 29;
    }
    return kDays[std::clamp(month, 1, 12) - 1];
}

CalendarDate oneMonthBefore(CalendarDate day) {
    if (day.month == 1) {
        return CalendarDate{day.year - 1, 12, day.day};
    }
    const int month = day.month - 1;
    return CalendarDate{day.year, month, std::min(day.day, daysInMonth(day.year, month))};
}

CalendarDate oneYearBefore(CalendarDate day) {
    if (day.month == 2 && day.day == 29) {
        return CalendarDate{day.year - 1, 2, 28};
    }
    return CalendarDate{day.year - 1, day.month, day.day};
}

bool applyDateOption(DateOption option, platform::FileTime now, SearchInputs& inputs) {
    const CalendarDate today = localDay(now);
    switch (option) {
        case DateOption::LastWeek:
            inputs.dateFrom = localDay(now >= kOneWeek ? now - kOneWeek : 0);
            inputs.dateTo = today;
            return false;
        case DateOption::PastMonth:
            inputs.dateFrom = oneMonthBefore(today);
            inputs.dateTo = today;
            return false;
        case DateOption::PastYear:
            inputs.dateFrom = oneYearBefore(today);
            inputs.dateTo = today;
            return false;
        case DateOption::SpecifyDates:
            return true;
        case DateOption::DontRemember:
            return false;
    }
    return false;
}

bool applySizeOption(SizeOption option, SearchInputs& inputs) {
    switch (option) {
        case SizeOption::Small:
            inputs.sizeBound = SizeBound::AtMost;
            inputs.sizeKilobytes = "100";
            return false;
        case SizeOption::Medium:
            inputs.sizeBound = SizeBound::AtMost;
            inputs.sizeKilobytes = "1024";
            return false;
        case SizeOption::Large:
            inputs.sizeBound = SizeBound::AtLeast;
            inputs.sizeKilobytes = "1024";
            return false;
        case SizeOption::SpecifySize:
            return true;
        case SizeOption::DontRemember:
            return false;
    }
    return false;
}

}  // namespace quillfen
