#include <gtest/gtest.h>

#include "app/NumberFormat.h"

namespace quillfen {
namespace {

TEST(NumberFormat, EachLanguageWritesItsOwnMarks) {
    const struct {
        int language;
        std::uint64_t count;
        std::string grouped;
        double seconds;
        std::string fixed;
    } cases[] = {
        {1033, 41250, "41,250", 0.04, "0.04"},
        {2052, 1234567, "1,234,567", 3.156, "3.16"},
        {1031, 41250, "41.250", 0.04, "0,04"},
        {3079, 999, "999", 12.5, "12,50"},
        {1036, 1000,
         "1\xC2\xA0"
         "000",
         1.0, "1,00"},
        {0x0409, 0, "0", 0.0, "0.00"},
        {0x7F, 100000, "100,000", 99.999, "100.00"},
    };
    for (const auto& c : cases) {
        const NumberFormat format = NumberFormat::forLanguage(c.language);
        EXPECT_EQ(format.grouped(c.count), c.grouped) << c.language;
        EXPECT_EQ(format.fixed(c.seconds, 2), c.fixed) << c.language;
    }
}

}  // namespace
}  // namespace quillfen
