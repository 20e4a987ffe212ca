#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>

#include "platform/InputFile.h"
#include "search/ChunkReader.h"
#include "search/ChunkSearch.h"
#include "search/ContentCriteria.h"
#include "search/ContentMatcher.h"
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

constexpr std::size_t kChunk = kContentChunkSize;
// "Grüße" in UTF-8, the system encoding on Linux, as typed and with its ASCII letters capitalised.
const std::string kGreeting = std::string("Gr\xc3\xbc\xc3\x9f") + "e";
const std::string kShoutedGreeting = std::string("GR\xc3\xbc\xc3\x9f") + "E";
// "Äpfel", whose capital lies beyond ASCII, and the same with its ASCII letters capitalised.
const std::string kApples = std::string("\xc3\x84") + "pfel";
const std::string kShoutedApples = std::string("\xc3\x84") + "PFEL";

struct Encodings {
    bool ansi = true;
    bool unicode = false;
    bool utf8 = false;
};

ContentInputs textInputs(const std::string& text, bool matchCase, Encodings encodings = {}) {
    ContentInputs inputs;
    inputs.text = text;
    inputs.matchCase = matchCase;
    inputs.matchAnsi = encodings.ansi;
    inputs.matchUnicode = encodings.unicode;
    inputs.matchUtf8 = encodings.utf8;
    return inputs;
}

ContentInputs hexInputs(const std::string& hex) {
    ContentInputs inputs;
    inputs.hexMode = true;
    inputs.hexText = hex;
    return inputs;
}

class ContentMatching : public testing::Test {
protected:
    test::TemporaryFolder folder;
    std::atomic<bool> stop{false};

    bool matches(ContentInputs inputs, const std::string& contents) {
        folder.writeFile("file", contents);
        return matchesFile(compileContent(inputs), folder / "file",
                           static_cast<std::int64_t>(contents.size()));
    }

    bool matchesFile(const ContentCriteria& criteria, const std::string& path, std::int64_t size) {
        return fileContentMatches(path, size, criteria, stop);
    }
};

// Filler that holds none of the bytes the tests look for.
std::string filler(std::size_t length) {
    return std::string(length, '.');
}

std::string utf16(const std::string& ascii) {
    std::string wide;
    for (const char c : ascii) {
        wide.push_back(c);
        wide.push_back('\0');
    }
    return wide;
}

struct FileCase {
    const char* name;
    ContentInputs inputs;
    std::string contents;
    bool expected;
};

class ContentMatchingFiles : public ContentMatching,
                             public testing::WithParamInterface<FileCase> {};

TEST_P(ContentMatchingFiles, FindOrMissTheFile) {
    EXPECT_EQ(matches(GetParam().inputs, GetParam().contents), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    ContentFiles, ContentMatchingFiles,
    testing::Values(
        FileCase{"PiecesInOrder", textInputs("12*56", true), "1234556", true},
        FileCase{"PiecesAdjacent", textInputs("12*56", true), "1256", true},
        FileCase{"PiecesReversed", textInputs("12*56", true), "5612", false},
        FileCase{"HexPiecesInOrder", hexInputs("31 32 * 35 36"), "1234556", true},
        FileCase{"HexPiecesAdjacent", hexInputs("3132*3536"), "1256", true},
        FileCase{"HexPiecesReversed", hexInputs("31 32 * 35 36"), "5612", false},
        FileCase{"HexHighBytes", hexInputs("ff 00 41"), std::string("x\xff\0A", 4), true},
        FileCase{"HexIgnoresCase", hexInputs("41"), "a", false},
        FileCase{"FoldedUpper", textInputs("abc", false), "xxABCxx", true},
        FileCase{"FoldedMixed", textInputs("abc", false), "Abc", true},
        FileCase{"FoldedLower", textInputs("abc", false), "abc", true},
        FileCase{"FoldedPattern", textInputs("ABC", false), "aBc", true},
        FileCase{"ExactUpper", textInputs("abc", true), "ABC", false},
        FileCase{"ExactMixed", textInputs("abc", true), "Abc", false},
        FileCase{"ExactLower", textInputs("abc", true), "abc", true},
        FileCase{"DigitsWithoutFolding", textInputs("12", false), "x12", true},
        FileCase{"BlanksAreSearched", textInputs(" ab", true), "ab", false},
        FileCase{"FoldingLeavesOtherBytes", textInputs("a[", false), "A{", false},
        FileCase{"EmptyFile", textInputs("a", false, {true, true, true}), "", false},
        FileCase{"WideEvenOffset", textInputs("ab", true, {false, true, false}), "xx" + utf16("ab"),
                 true},
        FileCase{"WideOddOffset", textInputs("ab", true, {false, true, false}), "x" + utf16("ab"),
                 true},
        FileCase{"WideMissesNarrow", textInputs("ab", true, {false, true, false}), "ab", false},
        FileCase{"WideFolded", textInputs("ab", false, {false, true, false}), utf16("AB"), true},
        FileCase{"NarrowMissesWide", textInputs("ab", true), utf16("ab"), false},
        FileCase{"Utf8NonAscii", textInputs(kGreeting, true, {false, false, true}),
                 "-" + kGreeting + "-", true},
        FileCase{"WideNonAscii", textInputs(kGreeting, true, {false, true, false}),
                 std::string("G\0r\0\xfc\0\xdf\0e\0", 10), true},
        FileCase{"NonAsciiFoldsOnlyAscii", textInputs(kGreeting, false, {false, false, true}),
                 kShoutedGreeting, true},
        FileCase{"NonAsciiCapitalFindsItself", textInputs(kApples, false), "x" + kApples, true},
        FileCase{"NonAsciiCapitalInAsciiCapitals", textInputs(kApples, false), kShoutedApples,
                 true},
        FileCase{"NonAsciiCapitalWide", textInputs(kApples, false, {false, true, false}),
                 std::string("\xc4\0p\0f\0e\0l\0", 10), true},
        FileCase{"NonAsciiCapitalUtf8", textInputs(kApples, false, {false, false, true}), kApples,
                 true},
        // U+0141 is 41 01 in UTF-16LE: its low byte is folded in the file, so in the piece too.
        FileCase{"WideUnitWithCapitalByte", textInputs("a\xc5\x81", false, {false, true, false}),
                 std::string("A\0\x41\x01", 4), true},
        FileCase{"AnyEncodingWillDo", textInputs("ab", true, {true, true, true}), "x" + utf16("ab"),
                 true}),
    [](const testing::TestParamInfo<FileCase>& param) { return std::string(param.param.name); });

TEST_F(ContentMatching, FindsAPieceAcrossTheChunkEnd) {
    const std::string contents = filler(kChunk - 3) + "hello" + filler(100);
    EXPECT_TRUE(matches(textInputs("hello", true), contents));
    EXPECT_TRUE(matches(textInputs("HELLO", false), contents));
}

TEST_F(ContentMatching, FindsAFoldedNonAsciiPieceAcrossTheChunkEnd) {
    for (std::size_t before : {kChunk - 1, kChunk - 2, kChunk - 5}) {
        EXPECT_TRUE(matches(textInputs(kApples, false, {true, true, false}),
                            filler(before) + kShoutedApples + filler(10)))
            << before;
    }
}

TEST_F(ContentMatching, FindsAWidePieceAcrossTheChunkEndAtAnOddOffset) {
    const std::string contents = filler(kChunk - 5) + utf16("hello") + filler(10);
    EXPECT_TRUE(matches(textInputs("hello", true, {false, true, false}), contents));
}

// Texts long enough to be compared by their borders, in files that repeat their start everywhere.
TEST_F(ContentMatching, FindsLongRepetitiveTextsAcrossTheChunkEndAndOnlyWhole) {
    const auto repeated = [](const std::string& unit, std::size_t count) {
        std::string text;
        for (std::size_t index = 0; index < count; ++index) {
            text += unit;
        }
        return text;
    };
    const std::string text = repeated("ba", 200) + "e";
    const std::string lead = repeated("bA", (kChunk - 101) / 2);
    EXPECT_TRUE(matches(textInputs(text, false), lead + repeated("BA", 200) + "E" + filler(10)));
    EXPECT_FALSE(matches(textInputs(text, false), lead + repeated("BA", 200) + filler(10)));
    const std::string wide = utf16(repeated("ba", kChunk / 2 - 150) + text) + filler(10);
    EXPECT_TRUE(matches(textInputs(text, true, {false, true, false}), wide));
    EXPECT_FALSE(matches(textInputs(text + "x", true, {false, true, false}), wide));
}

TEST_F(ContentMatching, ResumesAfterAPieceFoundAcrossTheChunkEnd) {
    const std::string found = filler(kChunk - 1) + "12" + "56";
    EXPECT_TRUE(matches(textInputs("12*56", true), found));
    // The second piece may not reuse the first piece's bytes in the next chunk.
    const std::string overlapping = filler(kChunk - 1) + "aaa";
    EXPECT_FALSE(matches(textInputs("aa*aa", true), overlapping));
}

TEST_F(ContentMatching, KeepsPiecesFoundInEarlierChunks) {
    const std::string contents = "12" + filler(2 * kChunk) + "56" + filler(10);
    EXPECT_TRUE(matches(textInputs("12*56", true), contents));
    EXPECT_FALSE(matches(textInputs("56*12", true), contents));
}

TEST_F(ContentMatching, FileOfOneFullChunkEndingWithAPieceStart) {
    EXPECT_FALSE(matches(textInputs("hello", true), filler(kChunk - 1) + "h"));
    EXPECT_TRUE(matches(textInputs("hello", true), filler(kChunk - 5) + "hello"));
}

TEST_F(ContentMatching, FileThatShrankIsSearchedAsFarAsItGoes) {
    const auto listedSize = 3 * static_cast<std::int64_t>(kChunk);
    folder.writeFile("small", "xx12xx");
    ContentInputs present = textInputs("12", true);
    ContentInputs absent = textInputs("12*3", true);
    EXPECT_TRUE(matchesFile(compileContent(present), folder / "small", listedSize));
    EXPECT_FALSE(matchesFile(compileContent(absent), folder / "small", listedSize));
    // Still one full chunk, then a short one: the piece across their border is found.
    folder.writeFile("large", filler(kChunk - 2) + "hello");
    ContentInputs straddling = textInputs("hello", true);
    EXPECT_TRUE(matchesFile(compileContent(straddling), folder / "large", listedSize));
}

TEST_F(ContentMatching, FileThatGrewIsReadOnlyToItsListedSize) {
    folder.writeFile("file", "abcdef");
    ContentInputs inputs = textInputs("ef", true);
    const ContentCriteria criteria = compileContent(inputs);
    EXPECT_FALSE(matchesFile(criteria, folder / "file", 5));
    EXPECT_TRUE(matchesFile(criteria, folder / "file", 6));
}

TEST_F(ContentMatching, FoldersAndMissingPathsFail) {
    ContentInputs inputs = textInputs("a", true);
    const ContentCriteria criteria = compileContent(inputs);
    EXPECT_FALSE(matchesFile(criteria, folder.path(), 4096));
    EXPECT_FALSE(matchesFile(criteria, folder / "missing", 10));
}

TEST_F(ContentMatching, StopRequestMakesAMatchFail) {
    stop = true;
    EXPECT_FALSE(matches(textInputs("a", true), "a"));
    EXPECT_FALSE(matches(textInputs("12*56", true), "12" + filler(2 * kChunk) + "56"));
}

// Hands out its bytes a few at a time and then fails, as a file on a slow or failing device may.
class TricklingFile : public platform::InputFile {
public:
    TricklingFile(std::string bytes, std::size_t failAt)
        : bytes_(std::move(bytes)), failAt_(failAt) {}

    std::int64_t read(char* buffer, std::size_t size) override {
        if (offset_ >= failAt_) {
            return -1;
        }
        const std::size_t count = std::min({size, std::size_t{3}, failAt_ - offset_});
        std::copy_n(bytes_.data() + offset_, count, buffer);
        offset_ += count;
        return static_cast<std::int64_t>(count);
    }

private:
    std::string bytes_;
    std::size_t failAt_;
    std::size_t offset_ = 0;
};

TEST(ContentChunkReader, FillsAndFoldsAcrossShortReadsAndStopsAtAFailure) {
    const std::string bytes = "ABCDEFGHIJ" + filler(kChunk);
    TricklingFile file(bytes, kChunk + 4);
    const CodePageFolding asciiLetters;
    ChunkReader reader(file, static_cast<std::int64_t>(3 * kChunk), &asciiLetters);
    EXPECT_EQ(reader.chunkCount(), 3);
    ByteBuffer chunk;
    ASSERT_TRUE(reader.readNext(chunk));
    EXPECT_EQ(chunk.length(), static_cast<std::int32_t>(kChunk));
    EXPECT_EQ(chunk.view().substr(0, 11), "abcdefghij.");
    ASSERT_TRUE(reader.readNext(chunk));
    EXPECT_EQ(chunk.view(), "....");
    ASSERT_TRUE(reader.readNext(chunk));
    EXPECT_EQ(chunk.length(), 0);
}

}  // namespace
}  // namespace quillfen
