#include <gtest/gtest.h>

#include "search/DatePresets.h"
#include "search/SearchCriteria.h"

namespace quillfen {
namespace {

TEST(DatePresets, OneMonthBeforeLimitsTheDayToTheMonth) {
    const struct {
        CalendarDate today;
        CalendarDate expected;
    } cases[] = {
        {{2026, 8, 31}, {2026, 7, 31}}, {{2024, 3, 31}, {2024, 2, 29}},
        {{2023, 3, 31}, {2023, 2, 28}}, {{2024, 1, 15}, {2023, 12, 15}},
        {{2026, 5, 31}, {2026, 4, 30}}, {{2000, 3, 30}, {2000, 2, 29}},
        {{1900, 3, 29}, {1900, 2, 28}}, {{2024, 1, 31}, {2023, 12, 31}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(oneMonthBefore(c.today), c.expected) << c.today.year << "-" << c.today.month;
    }
}

TEST(DatePresets, OneYearBeforeTurnsTheLeapDayIntoTheLastOfFebruary) {
    EXPECT_EQ(oneYearBefore({2024, 2, 29}), (CalendarDate{2023, 2, 28}));
    EXPECT_EQ(oneYearBefore({2024, 3, 1}), (CalendarDate{2023, 3, 1}));
    EXPECT_EQ(oneYearBefore({2025, 2, 28}), (CalendarDate{2024, 2, 28}));
}

TEST(DatePresets, SpecifiedDatesInEitherOrderGiveTheSameWholeDays) {
    SearchInputs forward;
    forward.lookIn = "/";
    forward.dateOption = DateOption::SpecifyDates;
    forward.dateFrom = {2020, 1, 5};
    forward.dateTo = {2021, 12, 9};
    SearchInputs backward = forward;
    std::swap(backward.dateFrom, backward.dateTo);
    const SearchCriteria a = buildCriteria(forward);
    const SearchCriteria b = buildCriteria(backward);
    EXPECT_TRUE(a.dateOn);
    EXPECT_EQ(a.dateFrom, "2020-01-05 00:00:00");
    EXPECT_EQ(a.dateTo, "2021-12-09 23:59:59");
    EXPECT_EQ(b.dateFrom, a.dateFrom);
    EXPECT_EQ(b.dateTo, a.dateTo);
}

TEST(SizePresets, FillTheBoundAndTheKilobytes) {
    const struct {
        SizeOption option;
        SizeMode mode;
        std::int64_t limit;
    } cases[] = {
        {SizeOption::Small, SizeMode::AtMost, 102400},
        {SizeOption::Medium, SizeMode::AtMost, 1048576},
        {SizeOption::Large, SizeMode::AtLeast, 1048576},
        {SizeOption::DontRemember, SizeMode::None, 0},
    };
    for (const auto& c : cases) {
        SearchInputs inputs;
        inputs.lookIn = "/";
        inputs.sizeOption = c.option;
        EXPECT_FALSE(applySizeOption(c.option, inputs));
        const SearchCriteria criteria = buildCriteria(inputs);
        EXPECT_EQ(criteria.sizeMode, c.mode);
        EXPECT_EQ(criteria.sizeLimit, c.limit);
    }
}

TEST(SizePresets, KilobyteBoxReadsLeadingDigitsOnly) {
    EXPECT_EQ(parseKilobytes(""), 0);
    EXPECT_EQ(parseKilobytes("12kb"), 12);
    EXPECT_EQ(parseKilobytes("-5"), 0);
    EXPECT_EQ(parseKilobytes(std::string(99, '0') + "7"), 0);
    EXPECT_EQ(parseKilobytes("99999999999999999999999"), INT64_MAX / 1024);
}

}  // namespace
}  // namespace quillfen
