#include <gtest/gtest.h>

#include "app/TextUtilities.h"

namespace quillfen {
namespace {

using Pieces = std::vector<std::string>;

TEST(SplitText, KeepsEmptyPiecesAndEndsAtATrailingSeparator) {
    const struct {
        const char* text;
        const char* separator;
        Pieces expected;
    } cases[] = {
        {"a  b", " ", {"a", "", "b"}},
        {"*.txt", "*", {"", ".txt"}},
        {"a b ", " ", {"a", "b"}},
        {"a b  ", " ", {"a", "b", ""}},
        {" ", " ", {""}},
        {"", " ", {}},
        {"abc", "", {}},
        {"x\r\ny\r\n\r\nz", "\r\n", {"x", "y", "", "z"}},
        // The separator is appended before the scan, so an overlapping tail does not end a piece.
        {"xa", "aa", {"x"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(splitText(c.text, c.separator), c.expected) << "'" << c.text << "'";
    }
}

TEST(TrimWhiteSpace, TrimsBlanksTabsAndLineEnds) {
    EXPECT_EQ(trimWhiteSpace(" \t a b \r\n"), "a b");
    EXPECT_EQ(trimWhiteSpaceEnd("  a  "), "  a");
    EXPECT_EQ(trimWhiteSpace("   "), "");
}

}  // namespace
}  // namespace quillfen
