#include "platform/windows/WindowsClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "platform/Platform.h"
#include "search/FileTimeText.h"

namespace quillfen::platform {
namespace {

constexpr long long kSecondsFrom1601To1970 = 11644473600LL;

FileTime fileTimeAt(std::chrono::year_month_day date, int hour, int minute, int second,
                    int hundredNanoseconds = 0) {
    const long long days = std::chrono::sys_days(date).time_since_epoch().count();
    const long long seconds =
        days * 86400 + hour * 3600 + minute * 60 + second + kSecondsFrom1601To1970;
    return static_cast<FileTime>(seconds) * 10'000'000ULL +
           static_cast<FileTime>(hundredNanoseconds);
}

TIME_ZONE_INFORMATION fixedZone(long minutesWestOfUtc) {
    TIME_ZONE_INFORMATION zone{};
    zone.Bias = minutesWestOfUtc;
    return zone;
}

// Central European time: UTC+1, and UTC+2 from the last Sunday of March, 02:00, to the last
// Sunday of October, 03:00.
TIME_ZONE_INFORMATION centralEurope() {
    TIME_ZONE_INFORMATION zone{};
    zone.Bias = -60;
    zone.StandardDate = SYSTEMTIME{0, 10, 0, 5, 3, 0, 0, 0};
    zone.DaylightDate = SYSTEMTIME{0, 3, 0, 5, 2, 0, 0, 0};
    zone.DaylightBias = -60;
    return zone;
}

struct TimeCase {
    const char* name;
    TIME_ZONE_INFORMATION zone;
    FileTime time;
    LocalTime local;
};

class WindowsClockLocal : public testing::TestWithParam<TimeCase> {};

TEST_P(WindowsClockLocal, ShowsTheZonesCalendarFieldsAndReadsThemBack) {
    const TimeCase& c = GetParam();
    const WindowsClock clock(c.zone);
    EXPECT_EQ(clock.toLocalTime(c.time), c.local);
    EXPECT_EQ(clock.fromLocalTime(c.local), c.time - c.time % 10'000'000ULL);
}

using std::chrono::year;

INSTANTIATE_TEST_SUITE_P(
    WindowsClock, WindowsClockLocal,
    testing::Values(TimeCase{"Utc",
                             fixedZone(0),
                             fileTimeAt(year(2000) / 1 / 2, 3, 4, 5),
                             {2000, 1, 2, 3, 4, 5}},
                    TimeCase{"LeapDay",
                             fixedZone(0),
                             fileTimeAt(year(2024) / 2 / 29, 23, 59, 59),
                             {2024, 2, 29, 23, 59, 59}},
                    // Fractions of a second are dropped, never rounded into the next day.
                    TimeCase{"Fraction",
                             fixedZone(0),
                             fileTimeAt(year(2023) / 12 / 31, 23, 59, 59, 9'999'999),
                             {2023, 12, 31, 23, 59, 59}},
                    TimeCase{"FirstMoment", fixedZone(0), 0, {1601, 1, 1, 0, 0, 0}},
                    TimeCase{"TwoHoursEast",
                             fixedZone(-120),
                             fileTimeAt(year(2024) / 2 / 28, 23, 30, 0),
                             {2024, 2, 29, 1, 30, 0}},
                    TimeCase{"FiveHoursWest",
                             fixedZone(300),
                             fileTimeAt(year(2021) / 3 / 1, 2, 0, 0),
                             {2021, 2, 28, 21, 0, 0}},
                    // Each date by the rules of its own season, not by today's offset.
                    TimeCase{"Winter",
                             centralEurope(),
                             fileTimeAt(year(2023) / 1 / 15, 12, 0, 0),
                             {2023, 1, 15, 13, 0, 0}},
                    TimeCase{"Summer",
                             centralEurope(),
                             fileTimeAt(year(2023) / 7 / 15, 12, 0, 0),
                             {2023, 7, 15, 14, 0, 0}},
                    TimeCase{"LastHourOfWinter",
                             centralEurope(),
                             fileTimeAt(year(2023) / 3 / 26, 0, 59, 59),
                             {2023, 3, 26, 1, 59, 59}},
                    TimeCase{"FirstHourOfSummer",
                             centralEurope(),
                             fileTimeAt(year(2023) / 3 / 26, 1, 0, 0),
                             {2023, 3, 26, 3, 0, 0}}),
    [](const testing::TestParamInfo<TimeCase>& c) { return std::string(c.param.name); });

// Fields out of their ranges carry over, as the C library's mktime does for the Linux clock, so
// that a loosely written time (a zip entry's, say) names the same moment on both systems.
TEST(WindowsClockFromLocal, CarriesFieldsOutOfTheirRanges) {
    const WindowsClock clock(fixedZone(0));
    struct {
        LocalTime local;
        FileTime expected;
    } cases[] = {
        {{2023, 2, 29, 0, 0, 0}, fileTimeAt(year(2023) / 3 / 1, 0, 0, 0)},
        {{2023, 13, 1, 0, 0, 0}, fileTimeAt(year(2024) / 1 / 1, 0, 0, 0)},
        {{2023, 0, 1, 0, 0, 0}, fileTimeAt(year(2022) / 12 / 1, 0, 0, 0)},
        {{2023, 1, 0, 0, 0, 0}, fileTimeAt(year(2022) / 12 / 31, 0, 0, 0)},
        {{2023, 1, 1, 23, 59, 60}, fileTimeAt(year(2023) / 1 / 2, 0, 0, 0)},
        {{2023, 1, 1, 24, 0, 62}, fileTimeAt(year(2023) / 1 / 2, 0, 1, 2)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clock.fromLocalTime(c.local), c.expected)
            << c.local.year << "-" << c.local.month << "-" << c.local.day << " " << c.local.hour
            << ":" << c.local.minute << ":" << c.local.second;
    }
}

TEST(WindowsClockFromLocal, NothingBeforeTheFirstFileTime) {
    const WindowsClock clock(fixedZone(0));
    EXPECT_EQ(clock.fromLocalTime({1600, 12, 31, 23, 59, 59}), 0u);
    EXPECT_EQ(clock.fromLocalTime({}), 0u);
}

TEST(WindowsClockNow, IsTheSystemTime) {
    const WindowsClock clock;
    FILETIME system{};
    GetSystemTimeAsFileTime(&system);
    const FileTime before =
        (static_cast<FileTime>(system.dwHighDateTime) << 32) | system.dwLowDateTime;
    EXPECT_GE(clock.now(), before);
    EXPECT_GT(before, fileTimeAt(year(2020) / 1 / 1, 0, 0, 0));
}

// The machine's zone reads back what it shows, and the cell text comes from it.
TEST(WindowsClockMachineZone, ShowsAndReadsBackTheSameMoment) {
    const WindowsClock clock;
    const FileTime moment = fileTimeAt(year(2022) / 5 / 17, 8, 9, 10);
    EXPECT_EQ(clock.fromLocalTime(clock.toLocalTime(moment)), moment);
    const LocalTime local = clock.toLocalTime(moment);
    char text[32];
    std::snprintf(text, sizeof(text), "%04d-%02d-%02d %02d:%02d:%02d", local.year, local.month,
                  local.day, local.hour, local.minute, local.second);
    EXPECT_EQ(formatFileTime(moment), text) << "the installed platform uses this clock";
}

}  // namespace
}  // namespace quillfen::platform
