#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/Platform.h"
#include "results/CellFormat.h"
#include "results/FoundFile.h"
#include "support/FixedTimeZone.h"

namespace quillfen {
namespace {

constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();

struct NumberCase {
    double value;
    const char* expected;
};

TEST(CellFormatNumber, RoundsLikePrintfThenDropsTrailingZeros) {
    const NumberCase cases[] = {
        {0.0000005, "0"},  // just below the half in binary, so it rounds down
        {0.0000015, "0.000002"}, {1.9999999, "2"},   {1.9999994, "1.999999"}, {2.5, "2.5"},
        {1000000.0, "1000000"},  {-0.0000004, "-0"},
    };
    for (const NumberCase& c : cases) {
        EXPECT_EQ(formatNumber(c.value), c.expected) << c.value;
    }
}

struct SizeCase {
    std::int64_t size;
    const char* text;
    const char* key;
};

TEST(CellFormatSize, PicksTheUnitCutsAfterTwoDigitsAndPadsTheKey) {
    const SizeCase cases[] = {
        {0, "0  B", "00000000000000000000"},
        {-1, "-1  B", "-0000000000000000001"},
        {1023, "1023  B", "00000000000000001023"},
        {1024, "1 KB", "00000000000000001024"},
        {1025, "1.00 KB", "00000000000000001025"},  // cut, not stripped again: 1.000977
        {1500, "1.46 KB", "00000000000000001500"},
        {1536, "1.5 KB", "00000000000000001536"},
        {1048575, "1023.99 KB", "00000000000001048575"},
        {1048576, "1 MB", "00000000000001048576"},
        {1073741823, "1023.99 MB", "00000000001073741823"},
        {1073741824, "1 GB", "00000000001073741824"},
        {3221225472, "3 GB", "00000000003221225472"},
        {std::int64_t{1} << 62, "4294967296 GB", "04611686018427387904"},
        {kInt64Max, "8589934592 GB", "09223372036854775807"},
        {kInt64Min, "-9223372036854775808  B", "-9223372036854775808"},
    };
    for (const SizeCase& c : cases) {
        EXPECT_EQ(formatSizeText(c.size), c.text) << c.size;
        EXPECT_EQ(formatSizeKey(c.size), c.key) << c.size;
    }
}

platform::FileTime fileTimeAt(std::chrono::year_month_day date, int hour, int minute, int second,
                              int hundredNanoseconds = 0) {
    constexpr long long kSecondsFrom1601To1970 = 11644473600LL;
    const long long days = std::chrono::sys_days(date).time_since_epoch().count();
    const long long seconds =
        days * 86400 + hour * 3600 + minute * 60 + second + kSecondsFrom1601To1970;
    return static_cast<platform::FileTime>(seconds) * 10'000'000ULL +
           static_cast<platform::FileTime>(hundredNanoseconds);
}

// No file time reaches a year of fewer than four digits; the five-digit year shows the width
// rule.
struct TimeCase {
    int minutesEastOfUtc;
    platform::FileTime time;
    const char* text;
};

TEST(CellFormatTime, ShowsLocalCalendarFields) {
    using std::chrono::year;
    const TimeCase cases[] = {
        {0, fileTimeAt(year(2000) / 1 / 2, 3, 4, 5), "2000-01-02 03:04:05"},
        {0, fileTimeAt(year(2024) / 2 / 29, 23, 59, 59), "2024-02-29 23:59:59"},
        // Fractions of a second are dropped, never rounded into the next day.
        {0, fileTimeAt(year(2023) / 12 / 31, 23, 59, 59, 9'999'999), "2023-12-31 23:59:59"},
        {0, 0, "1601-01-01 00:00:00"},
        {0, fileTimeAt(year(10000) / 1 / 1, 0, 0, 0), "10000-01-01 00:00:00"},
        // Two hours east of UTC the evening of the 28th is already the leap day.
        {120, fileTimeAt(year(2024) / 2 / 28, 23, 30, 0), "2024-02-29 01:30:00"},
        {-300, fileTimeAt(year(2021) / 3 / 1, 2, 0, 0), "2021-02-28 21:00:00"},
    };
    for (const TimeCase& c : cases) {
        const test::FixedTimeZone zone(c.minutesEastOfUtc);
        EXPECT_EQ(formatFileTime(c.time), c.text) << c.minutesEastOfUtc;
    }
}

TEST(CellFormatFoundFile, FolderGetsOneSeparatorNoSizeTextAndTheFolderKey) {
    const std::string separator(1, platform::currentPlatform().files().separator());
    const std::string home = separator + "home" + separator + "ann";
    const FoundFile plain = FoundFile::describe("Photos", home, 4096, 0, true);
    const FoundFile marked =
        FoundFile::describe("Photos" + separator, home + separator, 4096, 0, true);
    EXPECT_EQ(plain, marked);
    EXPECT_EQ(plain.name, "Photos" + separator);
    EXPECT_EQ(plain.inFolder, home + separator);
    EXPECT_EQ(plain.sizeText, "");
    EXPECT_EQ(plain.sizeKey, "-0000000000000000001");
}

}  // namespace
}  // namespace quillfen
