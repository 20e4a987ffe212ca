#include "app/IniDocument.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/Platform.h"

namespace quillfen {
namespace {

using Encoding = IniDocument::Encoding;

const platform::TextServices& textServices() {
    return platform::currentPlatform().text();
}

std::string utf16le(std::u16string_view text) {
    std::string bytes;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::string withForm(Encoding utf16Form, std::u16string_view text) {
    return std::string(utf16Form == Encoding::Utf16leWithBom ? "\xFF\xFE" : "") + utf16le(text);
}

struct ReadCase {
    const char* name;
    const char* file;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

class IniDocumentRead : public testing::TestWithParam<ReadCase> {};

TEST_P(IniDocumentRead, FindsTheValueTheWayThePrivateProfileReaderDoes) {
    const ReadCase& c = GetParam();
    const IniDocument document(c.file, textServices());
    EXPECT_EQ(document.value(c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Ini, IniDocumentRead,
    testing::Values(
        ReadCase{"SectionAndKeyIgnoreAsciiCase", "[Options]\r\nMaxResults=5\r\n", "OPTIONS",
                 "maxresults", "5"},
        ReadCase{"BlanksAroundNamesAndValue", "  [ Options ]  \r\n\t Size \t=  12 kB \t\r\n",
                 " options", "size ", "12 kB"},
        ReadCase{"DoubleQuotesStripped", "[s]\r\nk= \"a b\" \r\n", "s", "k", "a b"},
        ReadCase{"SingleQuotesStripped", "[s]\r\nk='a b'\r\n", "s", "k", "a b"},
        ReadCase{"BlanksInsideQuotesKept", "[s]\r\nk=\" a \"\r\n", "s", "k", " a "},
        ReadCase{"OnlyTheOuterPairStripped", "[s]\r\nk=\"a\"b\"\r\n", "s", "k", "a\"b"},
        ReadCase{"MismatchedQuotesKept", "[s]\r\nk=\"a'\r\n", "s", "k", "\"a'"},
        ReadCase{"LoneQuoteKept", "[s]\r\nk=\"\r\n", "s", "k", "\""},
        ReadCase{"EmptyQuotesGiveEmpty", "[s]\r\nk=\"\"\r\n", "s", "k", ""},
        ReadCase{"EmptyValueIsPresent", "[s]\r\nk=\r\n", "s", "k", ""},
        ReadCase{"FirstEqualsSplits", "[s]\r\nk=a=b\r\n", "s", "k", "a=b"},
        ReadCase{"KeyInAnotherSectionNotFound", "[a]\r\nk=1\r\n[b]\r\nj=2\r\n", "b", "k",
                 std::nullopt},
        ReadCase{"KeyBeforeAnySectionNotFound", "k=1\r\n[s]\r\n", "s", "k", std::nullopt},
        ReadCase{"MissingSection", "[a]\r\nk=1\r\n", "b", "k", std::nullopt},
        ReadCase{"KeyPrefixIsNoMatch", "[s]\r\nkk=1\r\n", "s", "k", std::nullopt},
        ReadCase{"CommentedKeyNotFound", "[s]\r\n  ; k=1\r\n", "s", "k", std::nullopt},
        ReadCase{"FirstSectionOfTheNameWins", "[s]\r\nk=1\r\n[S]\r\nk=2\r\n", "s", "k", "1"},
        ReadCase{"FirstKeyOfTheNameWins", "[s]\r\nk=1\r\nK=2\r\n", "s", "k", "1"},
        ReadCase{"TextAfterHeaderBracketIgnored", "[s] ; note\r\nk=1\r\n", "s", "k", "1"},
        ReadCase{"NameRunsToTheLastBracket", "[a]b]\r\nk=1\r\n", "a]b", "k", "1"},
        ReadCase{"NameIsNotCutAtTheFirstBracket", "[a]b]\r\nk=1\r\n", "a", "k", std::nullopt},
        ReadCase{"UnclosedHeaderIsNoSection", "[s \r\nk=1\r\n", "s", "k", std::nullopt},
        ReadCase{"UnclosedHeaderStaysInTheSectionBefore", "[a]\r\n[s\r\nk=1\r\n", "a", "k", "1"},
        ReadCase{"LineFeedOnly", "[a]\nk=1\n[b]\nk=2\n", "b", "k", "2"},
        ReadCase{"LoneCarriageReturns", "[a]\rk=1\r[b]\rk=2", "b", "k", "2"},
        ReadCase{"UnterminatedLastLine", "[s]\r\nk=last", "s", "k", "last"},
        ReadCase{"Utf8MarkBeforeTheFirstSection", "\xEF\xBB\xBF[Config]\r\nk=1\r\n", "config", "k",
                 "1"},
        ReadCase{"Utf8MarkOnlyAtTheStartIsTheMark", "[s]\r\n\xEF\xBB\xBFk=1\r\n", "s", "k",
                 std::nullopt}),
    [](const testing::TestParamInfo<ReadCase>& tested) { return std::string(tested.param.name); });

// The reader's buffer holds 32767 characters and its terminator; what it cannot hold is cut, a
// character at a time.
TEST(IniDocumentLongValue, IsCutToTheCharactersAReadCanHold) {
    const std::string umlaut = "\xC3\xBC";
    const std::string laugh = "\xF0\x9F\x98\x80";
    const auto times = [](const std::string& text, std::size_t count) {
        std::string result;
        for (std::size_t i = 0; i < count; ++i) {
            result += text;
        }
        return result;
    };
    const struct {
        const char* name;
        std::string value;
        std::string expected;
    } cases[] = {
        {"Ascii", std::string(40000, 'x'), std::string(32767, 'x')},
        {"ExactlyFull", std::string(32767, 'x'), std::string(32767, 'x')},
        {"TwoByteCharacters", times(umlaut, 40000), times(umlaut, 32767)},
        {"QuotedAndLong", "\"" + std::string(40000, 'x') + "\"", std::string(32767, 'x')},
        {"PairThatDoesNotFitWhole", std::string(32766, 'x') + laugh, std::string(32766, 'x')},
        {"PairThatFits", std::string(32765, 'x') + laugh, std::string(32765, 'x') + laugh},
    };
    for (const auto& c : cases) {
        // Marked as UTF-8, so that the bytes are the same characters on every system.
        const IniDocument document("\xEF\xBB\xBF[s]\r\nk=" + c.value + "\r\n", textServices());
        EXPECT_EQ(document.value("s", "k"), c.expected) << c.name;
    }
}

struct WriteCase {
    const char* name;
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
};

class IniDocumentWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(IniDocumentWrite, ChangesOnlyTheLinesItMust) {
    const WriteCase& c = GetParam();
    IniDocument document(c.before, textServices());
    document.setValue(c.section, c.key, c.value);
    EXPECT_EQ(document.bytes(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Ini, IniDocumentWrite,
    testing::Values(
        WriteCase{"ExistingKeyKeepsItsSpellingAndPlace", "[S]\r\n  Key = old \r\nz=1\r\n", "s",
                  "KEY", "new", "[S]\r\nKey=new\r\nz=1\r\n"},
        WriteCase{"ExistingKeyKeepsItsLineEnd", "[s]\rk=1\nj=2", "s", "j", "3", "[s]\rk=1\nj=3"},
        WriteCase{"NewKeyBeforeBlankLinesOfItsSection", "[a]\r\nx=1\r\n\r\n \r\n[b]\r\ny=2\r\n",
                  "a", "z", "3", "[a]\r\nx=1\r\nz=3\r\n\r\n \r\n[b]\r\ny=2\r\n"},
        WriteCase{"NewKeyAfterATrailingComment", "[a]\r\nx=1\r\n; end\r\n\r\n", "a", "z", "3",
                  "[a]\r\nx=1\r\n; end\r\nz=3\r\n\r\n"},
        WriteCase{"NewKeyInAnEmptySection", "[a]\r\n\r\n[b]\r\n", "a", "z", "3",
                  "[a]\r\nz=3\r\n\r\n[b]\r\n"},
        WriteCase{"NewKeyAfterAnUnterminatedLastLine", "[a]\r\nx=1", "a", "z", "3",
                  "[a]\r\nx=1\r\nz=3\r\n"},
        WriteCase{"NewKeyGoesToTheFirstSectionOfTheName", "[a]\r\n[b]\r\n[A]\r\n", "a", "z", "3",
                  "[a]\r\nz=3\r\n[b]\r\n[A]\r\n"},
        WriteCase{"NewSectionAtTheEnd", "[a]\r\nx=1\r\n", "b", "y", "2",
                  "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
        WriteCase{"NewSectionAfterAnUnterminatedLastLine", "[a]\r\nx=1", "b", "y", "2",
                  "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
        WriteCase{"NewSectionNameAndKeyTrimmed", "", " b ", " y ", " 2 ", "[b]\r\ny= 2 \r\n"},
        WriteCase{"LineFeedFileKeepsLineFeeds", "[a]\nx=1\n", "b", "y", "2",
                  "[a]\nx=1\n[b]\ny=2\n"},
        WriteCase{"CarriageReturnFileKeepsCarriageReturns", "[a]\rx=1", "a", "y", "2",
                  "[a]\rx=1\ry=2\r"},
        WriteCase{"FirstLineEndDecidesTheStyle", "[a]\nx=1\r\n", "a", "y", "2",
                  "[a]\nx=1\r\ny=2\n"},
        WriteCase{
            "ForeignLinesKeptByteForByte",
            "; top \r\nstray\n[a]\r\n\t; x=0 \r\nnoise\r\n x = 1 \r\n\r\n[b]\rq=\"1\"\r\n", "a",
            "y", "2",
            "; top \r\nstray\n[a]\r\n\t; x=0 \r\nnoise\r\n x = 1 \r\ny=2\r\n\r\n[b]\rq=\"1\"\r\n"},
        WriteCase{"ValueCutAtItsFirstLineBreak", "[a]\r\n", "a", "x", "1\r\n[evil]\r\ny=2",
                  "[a]\r\nx=1\r\n"},
        WriteCase{"KeyWithEqualsRefused", "[a]\r\n", "a", "x=y", "1", "[a]\r\n"},
        WriteCase{"KeyThatWouldBeACommentRefused", "[a]\r\n", "a", ";x", "1", "[a]\r\n"},
        WriteCase{"KeyThatWouldBeAHeaderRefused", "[a]\r\n", "a", "[x", "1", "[a]\r\n"},
        WriteCase{"KeyWithLineBreakRefused", "[a]\r\n", "a", "x\ny", "1", "[a]\r\n"},
        WriteCase{"SectionWithBracketRefused", "[a]\r\n", "a]b", "x", "1", "[a]\r\n"},
        WriteCase{"Utf8MarkKeptAndTheFirstSectionFound", "\xEF\xBB\xBF[a]\r\nx=1\r\n", "A", "x",
                  "2", "\xEF\xBB\xBF[a]\r\nx=2\r\n"},
        WriteCase{"Utf8MarkAloneKeptBeforeANewSection", "\xEF\xBB\xBF", "a", "x", "1",
                  "\xEF\xBB\xBF[a]\r\nx=1\r\n"}),
    [](const testing::TestParamInfo<WriteCase>& tested) { return std::string(tested.param.name); });

TEST(IniDocumentValueLength, IsCutAfterTheQuotesAreRemoved) {
    const struct {
        std::size_t written;
        bool quoted;
        std::size_t read;
    } cases[] = {
        {32766, false, 32766}, {32767, false, 32767}, {32768, false, 32767},
        {40000, false, 32767}, {32767, true, 32767},  {32768, true, 32767},
    };
    for (const auto& c : cases) {
        const std::string value(c.written, 'v');
        const std::string stored = c.quoted ? "\"" + value + "\"" : value;
        IniDocument document(Encoding::EightBit, textServices());
        document.setValue("s", "k", stored);
        EXPECT_EQ(document.value("s", "k"), std::string(c.read, 'v'))
            << c.written << (c.quoted ? " quoted" : "");
        EXPECT_NE(document.bytes().find(stored), std::string::npos) << "the file keeps it whole";
    }
}

TEST(IniDocumentEncoding, IsRecognisedFromTheFirstBytes) {
    const struct {
        std::string bytes;
        Encoding expected;
    } cases[] = {
        {"\xFF\xFE", Encoding::Utf16leWithBom},
        {std::string("\xFF\xFE[\0", 4), Encoding::Utf16leWithBom},
        {std::string("[\0", 2), Encoding::Utf16le},
        {std::string("[\0s\0]", 5), Encoding::Utf16le},
        {std::string("\0[", 2), Encoding::EightBit},
        {std::string("\0\0", 2), Encoding::EightBit},
        {"\xFE\xFF", Encoding::EightBit},
        {"\xEF\xBB\xBF[s]", Encoding::EightBit},
        {"[", Encoding::EightBit},
        {"", Encoding::EightBit},
    };
    for (const auto& c : cases) {
        const IniDocument document(c.bytes, textServices());
        EXPECT_EQ(document.encoding(), c.expected) << testing::PrintToString(c.bytes);
        EXPECT_EQ(document.bytes(), c.bytes) << "an unchanged document writes back its bytes";
    }
}

class IniDocumentUtf16 : public testing::TestWithParam<Encoding> {};

TEST_P(IniDocumentUtf16, ReadsAndWritesBackInTheSameForm) {
    const Encoding form = GetParam();
    const std::u16string before =
        u"; 注释\r\n[Config]\r\nLanguageName=English\r\n\r\n[Translate]\nSearch = 搜索 \r\n";
    IniDocument document(withForm(form, before), textServices());
    ASSERT_EQ(document.encoding(), form);
    EXPECT_EQ(document.value("translate", "search"), "搜索");

    document.setValue("Config", "LanguageName", "简体中文");
    document.setValue("Translate", "Cancel", "取消");
    document.setValue("新", "键", "值");

    const std::u16string after =
        u"; 注释\r\n[Config]\r\nLanguageName=简体中文\r\n\r\n[Translate]\nSearch = 搜索 \r\n"
        u"Cancel=取消\r\n[新]\r\n键=值\r\n";
    EXPECT_EQ(document.bytes(), withForm(form, after));
    const IniDocument reread(document.bytes(), textServices());
    EXPECT_EQ(reread.value("CONFIG", "languagename"), "简体中文");
    EXPECT_EQ(reread.value("新", "键"), "值");
}

TEST_P(IniDocumentUtf16, KeepsUntouchedLinesThatDoNotSurviveConversion) {
    const Encoding form = GetParam();
    // A lone surrogate turns into a replacement character on the way to the 8-bit encoding.
    const std::u16string broken = u"bad=\xD800!\r\n";
    const std::u16string before = u"[s]\r\n" + broken + u"k=1\r\n";
    IniDocument document(withForm(form, before) + "\x41", textServices());
    document.setValue("s", "k", "2");
    document.setValue("t", "k", "3");
    EXPECT_EQ(document.bytes(),
              withForm(form, u"[s]\r\n" + broken + u"k=2\r\n[t]\r\nk=3\r\n") + "\x41")
        << "the odd trailing byte stays the last byte";
}

TEST_P(IniDocumentUtf16, EmptyDocumentStartsWithItsForm) {
    IniDocument document(GetParam(), textServices());
    EXPECT_EQ(document.bytes(), withForm(GetParam(), u""));
    document.setValue("s", "k", "v");
    EXPECT_EQ(document.bytes(), withForm(GetParam(), u"[s]\r\nk=v\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Ini, IniDocumentUtf16,
                         testing::Values(Encoding::Utf16leWithBom, Encoding::Utf16le),
                         [](const testing::TestParamInfo<Encoding>& tested) {
                             return tested.param == Encoding::Utf16le ? "WithoutMark" : "WithMark";
                         });

}  // namespace
}  // namespace quillfen
