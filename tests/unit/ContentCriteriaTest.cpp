#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/ContentCriteria.h"
#include "search/ContentEncoding.h"

namespace quillfen {
namespace {

using Pieces = std::vector<std::string>;

// "Grüße" in UTF-8.
const std::string kGreeting = std::string("Gr\xc3\xbc\xc3\x9f") + "e";

ContentInputs textInputs(std::string text, bool ansi, bool unicode, bool utf8,
                         bool matchCase = true) {
    ContentInputs inputs;
    inputs.text = std::move(text);
    inputs.matchAnsi = ansi;
    inputs.matchUnicode = unicode;
    inputs.matchUtf8 = utf8;
    inputs.matchCase = matchCase;
    return inputs;
}

TEST(ContentCompile, HexGivesBytesAsAnsiAndMatchesCase) {
    ContentInputs inputs;
    inputs.hexMode = true;
    inputs.hexText = "31 32 * 35 36";
    inputs.text = "ignored";
    inputs.matchUnicode = true;
    inputs.matchUtf8 = true;
    const ContentCriteria criteria = compileContent(inputs);
    EXPECT_TRUE(criteria.ansiOn);
    EXPECT_EQ(criteria.ansiPieces, (Pieces{"12", "56"}));
    EXPECT_TRUE(criteria.matchCase);
    EXPECT_FALSE(criteria.unicodeOn);
    EXPECT_FALSE(criteria.utf8On);
}

TEST(ContentCompile, HexWithoutDigitsHasNoContentTest) {
    ContentInputs inputs;
    inputs.hexMode = true;
    inputs.hexText = " * ";
    EXPECT_FALSE(compileContent(inputs).active());
}

TEST(ContentCompile, TextWithoutPiecesHasNoContentTestAndTicksNothing) {
    for (const char* text : {"", "*", "***"}) {
        ContentInputs inputs = textInputs(text, false, false, false);
        EXPECT_FALSE(compileContent(inputs).active()) << text;
        EXPECT_FALSE(inputs.matchAnsi) << text;
    }
}

TEST(ContentCompile, NoEncodingTickedTicksAnsi) {
    ContentInputs inputs = textInputs("abc", false, false, false);
    const ContentCriteria criteria = compileContent(inputs);
    EXPECT_TRUE(inputs.matchAnsi);
    EXPECT_TRUE(criteria.ansiOn);
    EXPECT_EQ(criteria.ansiPieces, (Pieces{"abc"}));
}

TEST(ContentCompile, KeepsBlanksAndDropsEmptyPieces) {
    ContentInputs inputs = textInputs(" a **b ", true, false, false);
    EXPECT_EQ(compileContent(inputs).ansiPieces, (Pieces{" a ", "b "}));
}

// The file's bytes are folded A-Z only, byte by byte, so the pieces are folded the same way after
// encoding: a capital beyond ASCII stays, and so does a UTF-16 byte that is not an ASCII capital.
TEST(ContentCompile, FoldsEncodedPiecesByteByByteLikeTheFileBytes) {
    ContentInputs inputs = textInputs("AB*\xc3\x84*\xc5\x81", true, true, false, false);
    const ContentCriteria criteria = compileContent(inputs);
    EXPECT_FALSE(criteria.matchCase);
    EXPECT_EQ(criteria.ansiPieces, (Pieces{"ab", "\xc3\x84", "\xc5\x81"}));
    // U+00C4 is C4 00 in UTF-16LE; U+0141 is 41 01, whose low byte is folded like any 'A'.
    EXPECT_EQ(criteria.unicodePieces, (Pieces{std::string("a\0b\0", 4), std::string("\xc4\0", 2),
                                              std::string("a\x01", 2)}));
}

TEST(ContentCompile, TextWithoutAsciiLettersIsSearchedAsTyped) {
    ContentInputs inputs = textInputs("12*\xc3\x84", true, false, false, false);
    const ContentCriteria criteria = compileContent(inputs);
    EXPECT_TRUE(criteria.matchCase);
    EXPECT_EQ(criteria.ansiPieces, (Pieces{"12", "\xc3\x84"}));
}

TEST(ContentCompile, Utf8BesideAnsiIsDroppedWhenTheBytesAreTheSame) {
    for (const std::string& text : {std::string("abc"), kGreeting}) {
        ContentInputs inputs = textInputs(text, true, false, true);
        const ContentCriteria criteria = compileContent(inputs);
        EXPECT_TRUE(criteria.ansiOn) << text;
        EXPECT_FALSE(criteria.utf8On) << text;
    }
}

TEST(ContentCompile, Utf8BesideAnsiStaysForBytesThatAreNotUtf8) {
    ContentInputs inputs = textInputs("a\xff", true, false, true);
    const ContentCriteria criteria = compileContent(inputs);
    EXPECT_TRUE(criteria.utf8On);
    EXPECT_EQ(criteria.utf8Pieces, (Pieces{"a\xef\xbf\xbd"}));
}

TEST(ContentCompile, UnicodePiecesAreLittleEndianWithoutMark) {
    ContentInputs inputs = textInputs("ab*\xe2\x82\xac", false, true, false);
    const ContentCriteria criteria = compileContent(inputs);
    EXPECT_FALSE(criteria.ansiOn);
    EXPECT_FALSE(inputs.matchAnsi);
    EXPECT_EQ(criteria.unicodePieces,
              (Pieces{std::string("a\0b\0", 4), std::string("\xac\x20", 2)}));
}

struct EncodingCase {
    std::u16string text;
    std::string utf8;
};

class ContentEncodingUtf8 : public testing::TestWithParam<EncodingCase> {};

TEST_P(ContentEncodingUtf8, EncodesEveryRange) {
    EXPECT_EQ(utf8FromUtf16(GetParam().text), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    ContentEncodingUnits, ContentEncodingUtf8,
    testing::Values(EncodingCase{u"", ""}, EncodingCase{u"\u007f", "\x7f"},
                    EncodingCase{u"\u0080", "\xc2\x80"}, EncodingCase{u"\u07ff", "\xdf\xbf"},
                    EncodingCase{u"\u0800", "\xe0\xa0\x80"},
                    EncodingCase{u"\uffff", "\xef\xbf\xbf"},
                    EncodingCase{u"\U0001F600", "\xf0\x9f\x98\x80"},
                    EncodingCase{u"\U0010FFFF", "\xf4\x8f\xbf\xbf"},
                    // Surrogates without partners, at the end and before another unit.
                    EncodingCase{std::u16string(1, char16_t{0xD83D}), "\xef\xbf\xbd"},
                    EncodingCase{std::u16string{char16_t{0xDE00}, u'a'},
                                 "\xef\xbf\xbd"
                                 "a"},
                    EncodingCase{std::u16string{char16_t{0xD83D}, u'a'},
                                 "\xef\xbf\xbd"
                                 "a"}));

TEST(ContentEncodingUtf16, WritesTheLowByteFirst) {
    EXPECT_EQ(utf16LittleEndianBytes(u"A\u20ac\U0001F600"),
              std::string("A\0\xac\x20\x3d\xd8\x00\xde", 8));
}

}  // namespace
}  // namespace quillfen
