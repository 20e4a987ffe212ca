#include "platform/windows/WideText.h"

#include <gtest/gtest.h>

#include <string>

namespace quillfen::platform {
namespace {

std::wstring units(std::initializer_list<unsigned> codeUnits) {
    std::wstring text;
    for (const unsigned unit : codeUnits) {
        text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}

struct RoundTripCase {
    const char* name;
    std::string utf8;
    std::wstring wide;
};

class WideTextRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(WideTextRoundTrip, ConvertsBothWaysWithoutLoss) {
    const RoundTripCase& c = GetParam();
    EXPECT_EQ(toWide(c.utf8), c.wide);
    EXPECT_EQ(fromWide(c.wide), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(
    WideText, WideTextRoundTrip,
    testing::Values(
        RoundTripCase{"Empty", "", L""}, RoundTripCase{"Ascii", "C:\\a b.txt", L"C:\\a b.txt"},
        RoundTripCase{"Nul", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
        RoundTripCase{"LastOfOneByte", "\x7f", units({0x7F})},
        RoundTripCase{"FirstOfTwoBytes", "\xc2\x80", units({0x80})},
        RoundTripCase{"LastOfTwoBytes", "\xdf\xbf", units({0x7FF})},
        RoundTripCase{"FirstOfThreeBytes", "\xe0\xa0\x80", units({0x800})},
        RoundTripCase{"BelowSurrogates", "\xed\x9f\xbf", units({0xD7FF})},
        RoundTripCase{"AboveSurrogates", "\xee\x80\x80", units({0xE000})},
        RoundTripCase{"LastOfThreeBytes", "\xef\xbf\xbf", units({0xFFFF})},
        RoundTripCase{"FirstBeyondTheBasicPlane", "\xf0\x90\x80\x80", units({0xD800, 0xDC00})},
        RoundTripCase{"Emoji", "\xf0\x9f\x98\x80", units({0xD83D, 0xDE00})},
        RoundTripCase{"LastCodePoint", "\xf4\x8f\xbf\xbf", units({0xDBFF, 0xDFFF})},
        RoundTripCase{"Chinese", "\xe4\xb8\xad\xe6\x96\x87", units({0x4E2D, 0x6587})},
        // Names that are not valid UTF-16 travel as WTF-8.
        RoundTripCase{"LoneHighSurrogateAtTheEnd", "a\xed\xa0\xbd", units({'a', 0xD83D})},
        RoundTripCase{"LoneHighSurrogateBeforeText",
                      "\xed\xa0\xbd"
                      "b",
                      units({0xD83D, 'b'})},
        RoundTripCase{"LoneLowSurrogate", "\xed\xb8\x80", units({0xDE00})},
        RoundTripCase{"LowBeforeHighIsNoPair", "\xed\xb8\x80\xed\xa0\xbd", units({0xDE00, 0xD83D})},
        RoundTripCase{"TwoHighSurrogates", "\xed\xa0\xbd\xed\xa0\xbd", units({0xD83D, 0xD83D})},
        RoundTripCase{"LoneSurrogateBesidePair", "\xed\xa0\xbd\xf0\x9f\x98\x80",
                      units({0xD83D, 0xD83D, 0xDE00})}),
    [](const testing::TestParamInfo<RoundTripCase>& c) { return std::string(c.param.name); });

struct MalformedCase {
    const char* name;
    std::string utf8;
    std::wstring wide;
};

class WideTextMalformed : public testing::TestWithParam<MalformedCase> {};

// Each maximal stretch that cannot be completed becomes one U+FFFD, and decoding resumes at the
// byte that broke it.
TEST_P(WideTextMalformed, ReplacesWhatIsNoUtf8) {
    EXPECT_EQ(toWide(GetParam().utf8), GetParam().wide);
}

INSTANTIATE_TEST_SUITE_P(
    WideText, WideTextMalformed,
    testing::Values(
        MalformedCase{"StrayContinuation", "a\x80z", units({'a', 0xFFFD, 'z'})},
        MalformedCase{"TwoStrayContinuations", "\x80\xbf", units({0xFFFD, 0xFFFD})},
        MalformedCase{"NeverALeadByte", "\xc0\xc1\xf5\xff",
                      units({0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD})},
        MalformedCase{"OverlongSlash", "\xc0\xaf", units({0xFFFD, 0xFFFD})},
        MalformedCase{"OverlongThreeBytes", "\xe0\x80\xaf", units({0xFFFD, 0xFFFD, 0xFFFD})},
        MalformedCase{"OverlongFourBytes", "\xf0\x8f\xbf\xbf",
                      units({0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD})},
        MalformedCase{"BeyondTheLastCodePoint", "\xf4\x90\x80\x80",
                      units({0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD})},
        MalformedCase{"TruncatedAtTheEnd", "a\xe4\xb8", units({'a', 0xFFFD})},
        MalformedCase{"TruncatedFourBytes", "\xf0\x9f\x98", units({0xFFFD})},
        MalformedCase{"TruncatedBeforeAscii", "\xe4\xb8z", units({0xFFFD, 'z'})},
        MalformedCase{"TruncatedBeforeAnotherLead", "\xe4\xe4\xb8\xad", units({0xFFFD, 0x4E2D})},
        MalformedCase{"Latin1Byte",
                      "Gr\xfc\xdf"
                      "e",
                      units({'G', 'r', 0xFFFD, 0xFFFD, 'e'})}),
    [](const testing::TestParamInfo<MalformedCase>& c) { return std::string(c.param.name); });

// Surrogates written one by one (as CESU-8 does) meet again as the pair they were.
TEST(WideTextPairs, SeparatelyWrittenSurrogatesFormTheirPair) {
    const std::wstring wide = toWide("\xed\xa0\xbd\xed\xb8\x80");
    EXPECT_EQ(wide, units({0xD83D, 0xDE00}));
    EXPECT_EQ(fromWide(wide), "\xf0\x9f\x98\x80");
}

TEST(WideTextPairs, EveryLoneSurrogateRoundTrips) {
    for (unsigned unit = 0xD800; unit <= 0xDFFF; ++unit) {
        const std::wstring wide = units({'x', unit, 'y'});
        const std::string utf8 = fromWide(wide);
        ASSERT_EQ(utf8.size(), 5u) << unit;
        ASSERT_EQ(toWide(utf8), wide) << unit;
    }
}

}  // namespace
}  // namespace quillfen::platform
