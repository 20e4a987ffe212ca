#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "search/ContentCriteria.h"
#include "search/ContentEncoding.h"

namespace quillfen {
namespace {

using Pieces = std::vector<std::string>;

// "Grüße" in UTF-8, and in an 8-bit code page of Western Europe.
const std::string kGreeting = std::string("Gr\xc3\xbc\xc3\x9f") + "e";
const std::string kGreetingLatin = std::string("Gr\xfc\xdf") + "e";

// The installed text services, except that the 8-bit code page is ISO 8859-1 (a byte per code
// point below U+0100), so that the ANSI form differs from UTF-8 whatever system runs the tests.
class LatinCodePage final : public platform::TextServices {
public:
    explicit LatinCodePage(const platform::TextServices& base) : base_(base) {}

    std::string foldCase(std::string_view text) const override { return base_.foldCase(text); }
    void foldCaseInto(std::string_view text, std::string& folded) const override {
        base_.foldCaseInto(text, folded);
    }
    std::u16string toUtf16(std::string_view text) const override { return base_.toUtf16(text); }
    std::string fromUtf16(std::u16string_view text) const override { return base_.fromUtf16(text); }
    unsigned ansiCodePage() const override { return kLatin; }
    std::optional<std::string> toAnsiCodePage(std::string_view text) const override {
        std::string bytes;
        for (const char16_t unit : base_.toUtf16(text)) {
            if (unit > 0xFF) {
                return std::nullopt;
            }
            bytes.push_back(static_cast<char>(unit));
        }
        return bytes;
    }
    std::string fromAnsiCodePage(std::string_view bytes) const override {
        std::u16string units;
        for (const char byte : bytes) {
            units.push_back(static_cast<unsigned char>(byte));
        }
        return base_.fromUtf16(units);
    }
    bool hasLegacyCodePage() const override { return true; }
    bool knowsCodePage(unsigned codePage) const override {
        return codePage == kLatin || base_.knowsCodePage(codePage);
    }
    std::optional<std::string> toCodePage(std::string_view text, unsigned codePage) const override {
        return codePage == kLatin ? toAnsiCodePage(text) : base_.toCodePage(text, codePage);
    }
    std::optional<std::string> fromCodePage(std::string_view bytes,
                                            unsigned codePage) const override {
        return codePage == kLatin ? std::optional<std::string>(fromAnsiCodePage(bytes))
                                  : base_.fromCodePage(bytes, codePage);
    }
    bool isLeadByte(unsigned char byte, unsigned codePage) const override {
        return base_.isLeadByte(byte, codePage);
    }

private:
    static constexpr unsigned kLatin = 28591;
    const platform::TextServices& base_;
};

// The installed platform with the Latin code page.
class LatinPlatform final : public platform::Platform {
public:
    LatinPlatform() : base_(platform::currentPlatform()), text_(base_.text()) {
        platform::installPlatform(this);
    }
    ~LatinPlatform() override { platform::installPlatform(&base_); }
    LatinPlatform(const LatinPlatform&) = delete;
    LatinPlatform& operator=(const LatinPlatform&) = delete;

    platform::FileSystem& files() override { return base_.files(); }
    platform::ProcessLauncher& processes() override { return base_.processes(); }
    platform::SystemInfo& system() override { return base_.system(); }
    platform::TextServices& text() override { return text_; }
    platform::Clock& clock() override { return base_.clock(); }
    platform::Volumes& volumes() override { return base_.volumes(); }
    platform::FileTypes& fileTypes() override { return base_.fileTypes(); }
    platform::HttpClient& http() override { return base_.http(); }
    platform::ProgramResources& resources() override { return base_.resources(); }
    platform::DiskIdentity& disks() override { return base_.disks(); }
    platform::Digests& digests() override { return base_.digests(); }
    platform::SignatureVerifier& signatures() override { return base_.signatures(); }

private:
    platform::Platform& base_;
    LatinCodePage text_;
};

class ContentCompile : public testing::Test {
    LatinPlatform platform_;
};

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

TEST_F(ContentCompile, HexGivesBytesAsAnsiAndMatchesCase) {
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

TEST_F(ContentCompile, HexWithoutDigitsHasNoContentTest) {
    ContentInputs inputs;
    inputs.hexMode = true;
    inputs.hexText = " * ";
    EXPECT_FALSE(compileContent(inputs).active());
}

TEST_F(ContentCompile, TextWithoutPiecesHasNoContentTestAndTicksNothing) {
    for (const char* text : {"", "*", "***"}) {
        ContentInputs inputs = textInputs(text, false, false, false);
        EXPECT_FALSE(compileContent(inputs).active()) << text;
        EXPECT_FALSE(inputs.matchAnsi) << text;
    }
}

TEST_F(ContentCompile, NoEncodingTickedTicksAnsi) {
    ContentInputs inputs = textInputs("abc", false, false, false);
    const ContentCriteria criteria = compileContent(inputs);
    EXPECT_TRUE(inputs.matchAnsi);
    EXPECT_TRUE(criteria.ansiOn);
    EXPECT_EQ(criteria.ansiPieces, (Pieces{"abc"}));
}

TEST_F(ContentCompile, KeepsBlanksAndDropsEmptyPieces) {
    ContentInputs inputs = textInputs(" a **b ", true, false, false);
    EXPECT_EQ(compileContent(inputs).ansiPieces, (Pieces{" a ", "b "}));
}

// The file's bytes are folded A-Z only, byte by byte, so the pieces are folded the same way after
// encoding: a capital beyond ASCII stays, and so does a UTF-16 byte that is not an ASCII capital.
TEST_F(ContentCompile, FoldsEncodedPiecesByteByByteLikeTheFileBytes) {
    ContentInputs inputs = textInputs("AB*\xc3\x84*\xc5\x81", false, true, false, false);
    const ContentCriteria criteria = compileContent(inputs);
    EXPECT_FALSE(criteria.matchCase);
    // U+00C4 is C4 00 in UTF-16LE; U+0141 is 41 01, whose low byte is folded like any 'A'.
    EXPECT_EQ(criteria.unicodePieces, (Pieces{std::string("a\0b\0", 4), std::string("\xc4\0", 2),
                                              std::string("a\x01", 2)}));
    // The ANSI form folds the single-byte capitals of its code page too.
    ContentInputs ansi = textInputs("AB*\xc3\x84", true, false, false, false);
    EXPECT_EQ(compileContent(ansi).ansiPieces, (Pieces{"ab", "\xe4"}));
}

TEST_F(ContentCompile, TextWithoutLettersIsSearchedAsTyped) {
    ContentInputs inputs = textInputs("12*\xc2\xb1", true, false, true, false);
    const ContentCriteria criteria = compileContent(inputs);
    EXPECT_TRUE(criteria.matchCase);
    EXPECT_EQ(criteria.ansiPieces, (Pieces{"12", "\xb1"}));
    EXPECT_EQ(criteria.utf8Pieces, (Pieces{"12", "\xc2\xb1"}));
}

// Beyond ASCII only the ANSI form's code page folds letters: without that form a text without
// ASCII letters is searched as typed.
TEST_F(ContentCompile, LettersBeyondAsciiFoldOnlyInTheAnsiForm) {
    ContentInputs inputs = textInputs("12*\xc3\x84", true, false, true, false);
    const ContentCriteria criteria = compileContent(inputs);
    EXPECT_FALSE(criteria.matchCase);
    EXPECT_EQ(criteria.ansiPieces, (Pieces{"12", "\xe4"}));
    EXPECT_EQ(criteria.utf8Pieces, (Pieces{"12", "\xc3\x84"}));
    ContentInputs withoutAnsi = textInputs("12*\xc3\x84", false, false, true, false);
    EXPECT_TRUE(compileContent(withoutAnsi).matchCase);
}

TEST_F(ContentCompile, AnsiPiecesAreTheTextInTheCodePage) {
    ContentInputs inputs = textInputs(kGreeting + "*x", true, false, false);
    EXPECT_EQ(compileContent(inputs).ansiPieces, (Pieces{kGreetingLatin, "x"}));
}

TEST_F(ContentCompile, Utf8BesideAnsiIsDroppedWhenTheBytesAreTheSame) {
    ContentInputs inputs = textInputs("abc", true, false, true);
    const ContentCriteria criteria = compileContent(inputs);
    EXPECT_TRUE(criteria.ansiOn);
    EXPECT_FALSE(criteria.utf8On);
}

TEST_F(ContentCompile, Utf8BesideAnsiStaysWhenTheCodePageWritesTheTextOtherwise) {
    ContentInputs inputs = textInputs(kGreeting, true, false, true);
    const ContentCriteria criteria = compileContent(inputs);
    EXPECT_EQ(criteria.ansiPieces, (Pieces{kGreetingLatin}));
    EXPECT_TRUE(criteria.utf8On);
    EXPECT_EQ(criteria.utf8Pieces, (Pieces{kGreeting}));
}

TEST_F(ContentCompile, Utf8BesideAnsiStaysForBytesThatAreNotUtf8) {
    ContentInputs inputs = textInputs("a\xff", true, false, true);
    const ContentCriteria criteria = compileContent(inputs);
    EXPECT_TRUE(criteria.utf8On);
    EXPECT_EQ(criteria.utf8Pieces, (Pieces{"a\xef\xbf\xbd"}));
}

// "Ł" has no byte in the code page. Searching its stand-in '?' would find other text, so the text
// has no ANSI form; when that was the only form, no file can match.
TEST_F(ContentCompile, TextTheCodePageCannotHoldHasNoAnsiForm) {
    const std::string text = "ab*\xc5\x81";
    ContentInputs onlyAnsi = textInputs(text, true, false, false);
    const ContentCriteria unmatchable = compileContent(onlyAnsi);
    EXPECT_FALSE(unmatchable.ansiOn);
    EXPECT_TRUE(unmatchable.ansiPieces.empty());
    EXPECT_TRUE(unmatchable.unmatchable);
    EXPECT_TRUE(unmatchable.active()) << "the content test stays, and every file fails it";
    EXPECT_TRUE(unmatchable.enabledPieceLists().empty());

    ContentInputs nothingTicked = textInputs(text, false, false, false);
    EXPECT_TRUE(compileContent(nothingTicked).unmatchable);
    EXPECT_TRUE(nothingTicked.matchAnsi);

    ContentInputs withUtf8 = textInputs(text, true, false, true);
    const ContentCriteria criteria = compileContent(withUtf8);
    EXPECT_FALSE(criteria.ansiOn);
    EXPECT_FALSE(criteria.unmatchable);
    EXPECT_EQ(criteria.utf8Pieces, (Pieces{"ab", "\xc5\x81"}));
}

TEST_F(ContentCompile, UnicodePiecesAreLittleEndianWithoutMark) {
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
