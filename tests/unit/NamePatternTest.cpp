#include <gtest/gtest.h>

#include <string>

#include "search/NamePattern.h"

namespace quillfen {
namespace {

struct MatchCase {
    const char* patterns;
    const char* name;
    bool expected;
};

class NamePatternMatch : public testing::TestWithParam<MatchCase> {};

TEST_P(NamePatternMatch, FollowsTheMatchRule) {
    const MatchCase& c = GetParam();
    EXPECT_EQ(matchesName(compileNamePatterns(c.patterns), c.name), c.expected)
        << "patterns '" << c.patterns << "' name '" << c.name << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Examples, NamePatternMatch,
    testing::Values(
        // The help text's own examples.
        MatchCase{"*.tx", "1.tx", true}, MatchCase{"*.tx", "2.txt", false},
        MatchCase{"*.tx*", "1.tx", true}, MatchCase{"*.tx*", "2.txt", true},
        MatchCase{"1*.txt", "12.txt", true}, MatchCase{"1*.txt", "21.txt", false},
        MatchCase{"*.txt *.log", "1.txt", true}, MatchCase{"*.txt *.log", "2.log", true},
        MatchCase{"*.txt *.log", "3.doc", false},
        // Empty and all-star inputs match everything, folders included.
        MatchCase{"", "anything", true}, MatchCase{"*", "docs/", true}, MatchCase{"**", "x", true},
        MatchCase{"   ", "x", true},
        // An all-star piece beside a real one does not widen the search.
        MatchCase{"*.txt *", "a.txt", true}, MatchCase{"*.txt *", "a.log", false},
        // Case folding applies to patterns and names alike.
        MatchCase{"*.TXT", "a.txt", true}, MatchCase{"*.TXT", "B.Txt", true},
        MatchCase{"*.txt", "ÄRGER.TXT", true}, MatchCase{"ärger*", "ÄRGER.txt", true},
        // Without '*', start and end are tested separately.
        MatchCase{"report", "report", true}, MatchCase{"report", "reportreport", true},
        MatchCase{"report", "report-2-report", true}, MatchCase{"report", "myreport", false},
        MatchCase{"report", "report.txt", false},
        // Fragments need non-overlapping occurrences.
        MatchCase{"a*a", "a", false}, MatchCase{"a*a", "aa", true}, MatchCase{"a*a", "aba", true},
        // Folders are tested with their trailing separator.
        MatchCase{"docs", "docs/", false}, MatchCase{"*s", "docs/", false},
        MatchCase{"doc*", "docs/", true}, MatchCase{"*doc*", "docs/", true},
        MatchCase{"docs/", "docs/", true}, MatchCase{"*/", "docs/", true},
        MatchCase{"*/", "docs", false},
        // '?' is an ordinary character.
        MatchCase{"a?c", "abc", false}, MatchCase{"a?c", "a?c", true},
        // Two blanks separate two patterns; a tab is part of a pattern.
        MatchCase{"a  b", "b", true}, MatchCase{"a\tb", "a", false},
        MatchCase{"a\tb", "a\tb", true},
        // Bytes that are not UTF-8 match themselves.
        MatchCase{"*\xff*", "x\xffy", true}, MatchCase{"*\xff*", "xy", false}));

TEST(NamePatternCompile, DropsDuplicatesAndAllStarPiecesAndKeepsFirstPlaces) {
    const NamePatternList patterns = compileNamePatterns("*.TXT b *.txt ** a*c b");
    ASSERT_EQ(patterns.size(), 3u);
    EXPECT_EQ(patterns[0], (NamePattern{{".txt"}, false, true}));
    EXPECT_EQ(patterns[1], (NamePattern{{"b"}, true, true}));
    EXPECT_EQ(patterns[2], (NamePattern{{"a", "c"}, true, true}));
}

// A pasted list: every name once in order, then again backwards and folded differently.
TEST(NamePatternCompile, LongListsKeepEachPatternOnceAtItsFirstPlace) {
    constexpr int kNames = 20000;
    std::string text;
    for (int index = 0; index < kNames; ++index) {
        text += "n" + std::to_string(index) + "*.txt ";
    }
    for (int index = kNames - 1; index >= 0; --index) {
        text += " N" + std::to_string(index) + "*.TXT";
    }
    const NamePatternList patterns = compileNamePatterns(text);
    ASSERT_EQ(patterns.size(), static_cast<std::size_t>(kNames));
    for (int index = 0; index < kNames; index += 997) {
        EXPECT_EQ(patterns[static_cast<std::size_t>(index)],
                  (NamePattern{{"n" + std::to_string(index), ".txt"}, true, true}));
    }
}

TEST(NamePatternCompile, EmptyInputsGiveAnEmptyList) {
    for (const char* text : {"", "*", "**", "   ", "* ** *"}) {
        EXPECT_TRUE(compileNamePatterns(text).empty()) << "'" << text << "'";
    }
}

TEST(NamePatternCompile, AnchorsFollowTheOuterCharacters) {
    const NamePatternList patterns = compileNamePatterns("*a**b* c*d");
    ASSERT_EQ(patterns.size(), 2u);
    EXPECT_EQ(patterns[0], (NamePattern{{"a", "b"}, false, false}));
    EXPECT_EQ(patterns[1], (NamePattern{{"c", "d"}, true, true}));
}

}  // namespace
}  // namespace quillfen
