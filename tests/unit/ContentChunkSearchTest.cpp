#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "search/ChunkScanner.h"
#include "search/ChunkSearch.h"

namespace quillfen {
namespace {

using Pieces = std::vector<std::string>;

// The chunk search written as plainly as possible; the vectorised scanner must agree with it on
// every result and every state.
int referenceSearch(const Pieces& pieces, PieceSearchState& state, std::string_view current,
                    std::optional<std::string_view> following, std::int32_t fullChunkLength) {
    const auto count = static_cast<std::int32_t>(pieces.size());
    if (state.pieceIndex == count) {
        return 1;
    }
    std::int32_t offset = state.startOffset;
    state.startOffset = 0;
    const auto length = static_cast<std::int32_t>(current.size());
    const auto pieceLength = [&] {
        return static_cast<std::int32_t>(pieces[static_cast<std::size_t>(state.pieceIndex)].size());
    };
    while (offset + pieceLength() <= length) {
        if (current.substr(static_cast<std::size_t>(offset),
                           static_cast<std::size_t>(pieceLength())) ==
            pieces[static_cast<std::size_t>(state.pieceIndex)]) {
            offset += pieceLength();
            if (++state.pieceIndex == count) {
                return 1;
            }
        } else {
            ++offset;
        }
    }
    if (length != fullChunkLength || !following) {
        return -1;
    }
    const std::string& piece = pieces[static_cast<std::size_t>(state.pieceIndex)];
    for (; offset < length; ++offset) {
        bool same = true;
        for (std::int32_t index = 0; same && index < pieceLength(); ++index) {
            const std::int32_t at = offset + index;
            const std::int32_t outside = at - length;
            same = at < length ? current[static_cast<std::size_t>(at)] ==
                                     piece[static_cast<std::size_t>(index)]
                               : outside < static_cast<std::int32_t>(following->size()) &&
                                     (*following)[static_cast<std::size_t>(outside)] ==
                                         piece[static_cast<std::size_t>(index)];
        }
        if (same) {
            const std::int32_t resumeAt = offset + pieceLength() - length;
            if (++state.pieceIndex == count) {
                return 1;
            }
            state.startOffset = resumeAt;
            return 0;
        }
    }
    return -1;
}

std::string randomText(std::mt19937& random, std::size_t length, std::string_view alphabet) {
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string text(length, '\0');
    std::generate(text.begin(), text.end(), [&] { return alphabet[pick(random)]; });
    return text;
}

// Small alphabets make finds and near misses frequent; the wide one lets the scan skip whole
// groups, and its high bytes test that nothing depends on the sign of char.
constexpr std::string_view kAlphabets[] = {"ab", std::string_view("ab\0", 3), "abcd",
                                           "abcdefghijklmnop\x80\xff"};

Pieces randomPieces(std::mt19937& random, std::string_view alphabet) {
    std::uniform_int_distribution<int> count(1, 3);
    // Mostly short pieces, which find something; now and then long ones, which the scanner
    // compares in words.
    std::uniform_int_distribution<std::size_t> length(0, random() % 4 == 0 ? 20 : 6);
    Pieces pieces(static_cast<std::size_t>(count(random)));
    for (std::string& piece : pieces) {
        // Empty pieces cannot come from the input box but must still behave like the rules.
        const std::size_t size = random() % 16 == 0 ? 0 : std::max<std::size_t>(length(random), 1);
        piece = randomText(random, size, alphabet);
    }
    return pieces;
}

struct RandomChunks {
    std::int32_t fullLength;
    std::string current;
    std::optional<std::string> following;
};

RandomChunks randomChunks(std::mt19937& random, std::string_view alphabet) {
    // Lengths below and around the scanner's group of 64 positions, and long enough for it to
    // change how it scans halfway through.
    constexpr std::int32_t kLongest[] = {24, 300, 3000};
    std::uniform_int_distribution<std::int32_t> full(1, kLongest[random() % 3]);
    RandomChunks chunks;
    chunks.fullLength = full(random);
    const bool isFull = random() % 3 != 0;
    const auto currentLength = static_cast<std::size_t>(
        isFull ? chunks.fullLength
               : std::uniform_int_distribution<std::int32_t>(0, chunks.fullLength)(random));
    chunks.current = randomText(random, currentLength, alphabet);
    if (random() % 4 != 0) {
        chunks.following =
            randomText(random,
                       static_cast<std::size_t>(std::uniform_int_distribution<std::int32_t>(
                           0, chunks.fullLength)(random)),
                       alphabet);
    }
    return chunks;
}

PieceSearchState randomState(std::mt19937& random, const Pieces& pieces, std::size_t chunkLength) {
    PieceSearchState state;
    state.pieceIndex = static_cast<std::int32_t>(random() % (pieces.size() + (random() % 8 == 0)));
    if (random() % 2 == 0) {
        state.startOffset = static_cast<std::int32_t>(random() % (chunkLength + 1));
    }
    return state;
}

// Bytes as C++ string literal text, so a failing case can be pasted into the table below.
std::string printable(std::string_view bytes) {
    std::string shown;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        shown += byte >= 0x20 && byte < 0x7F
                     ? std::string(1, c)
                     : "\\x" + std::string(1, "0123456789abcdef"[byte >> 4]) +
                           "0123456789abcdef"[byte & 15];
    }
    return shown;
}

// The failing case in a form that can be pasted into a table.
std::string describe(const Pieces& pieces, const PieceSearchState& state,
                     const RandomChunks& chunks) {
    std::string text = "pieces";
    for (const std::string& piece : pieces) {
        text += " '" + printable(piece) + "'";
    }
    text += " state {" + std::to_string(state.pieceIndex) + ", " +
            std::to_string(state.startOffset) + "} full " + std::to_string(chunks.fullLength) +
            " current '" + printable(chunks.current) + "' following " +
            (chunks.following ? "'" + printable(*chunks.following) + "'" : "none");
    return text;
}

std::optional<std::string_view> viewOf(const std::optional<std::string>& text) {
    return text ? std::optional<std::string_view>(*text) : std::nullopt;
}

TEST(ChunkSearchDifferential, OneEncodingAgreesWithTheReferenceInResultAndState) {
    std::mt19937 random(20240601);
    for (int round = 0; round < 20000; ++round) {
        const std::string_view alphabet = kAlphabets[round % std::size(kAlphabets)];
        const Pieces pieces = randomPieces(random, alphabet);
        const RandomChunks chunks = randomChunks(random, alphabet);
        PieceSearchState expected = randomState(random, pieces, chunks.current.size());
        PieceSearchState actual = expected;
        const PieceSearchState initial = expected;
        const int expectedResult = referenceSearch(pieces, expected, chunks.current,
                                                   viewOf(chunks.following), chunks.fullLength);
        const int actualResult = searchChunk(pieces, actual, chunks.current,
                                             viewOf(chunks.following), chunks.fullLength);
        ASSERT_EQ(actualResult, expectedResult) << describe(pieces, initial, chunks);
        ASSERT_EQ(actual.pieceIndex, expected.pieceIndex) << describe(pieces, initial, chunks);
        ASSERT_EQ(actual.startOffset, expected.startOffset) << describe(pieces, initial, chunks);
    }
}

// Whole files cut into chunks: the encodings share one pass over each chunk, yet the file's
// outcome must be what searching each encoding on its own gives.
TEST(ChunkSearchDifferential, SeveralEncodingsInOnePassAgreeWithSeparateSearches) {
    std::mt19937 random(77);
    for (int round = 0; round < 6000; ++round) {
        const std::string_view alphabet = kAlphabets[round % std::size(kAlphabets)];
        const auto fullLength = std::uniform_int_distribution<std::int32_t>(1, 200)(random);
        const std::string file =
            randomText(random, static_cast<std::size_t>(random() % 700), alphabet);
        std::vector<Pieces> encodings(1 + random() % ChunkScanner::kMaxEncodings);
        for (Pieces& pieces : encodings) {
            pieces = randomPieces(random, alphabet);
        }
        std::vector<const Pieces*> lists;
        for (const Pieces& pieces : encodings) {
            lists.push_back(&pieces);
        }
        ChunkScanner scanner(lists, fullLength);
        std::vector<PieceSearchState> expected(encodings.size());
        const std::size_t chunkCount =
            std::max<std::size_t>((file.size() + static_cast<std::size_t>(fullLength) - 1) /
                                      static_cast<std::size_t>(fullLength),
                                  1);
        for (std::size_t chunk = 0; chunk < chunkCount; ++chunk) {
            const std::string_view current = std::string_view(file).substr(
                chunk * static_cast<std::size_t>(fullLength), static_cast<std::size_t>(fullLength));
            const std::optional<std::string_view> following =
                chunk + 1 < chunkCount
                    ? std::optional<std::string_view>(std::string_view(file).substr(
                          (chunk + 1) * static_cast<std::size_t>(fullLength),
                          static_cast<std::size_t>(fullLength)))
                    : std::nullopt;
            bool expectedFound = false;
            for (std::size_t encoding = 0; encoding < encodings.size(); ++encoding) {
                expectedFound = referenceSearch(encodings[encoding], expected[encoding], current,
                                                following, fullLength) == 1 ||
                                expectedFound;
            }
            ASSERT_EQ(scanner.scan(current, following), expectedFound)
                << "round " << round << " chunk " << chunk;
            if (expectedFound) {
                break;
            }
            for (std::size_t encoding = 0; encoding < encodings.size(); ++encoding) {
                ASSERT_EQ(scanner.state(encoding).pieceIndex, expected[encoding].pieceIndex)
                    << "round " << round << " chunk " << chunk << " encoding " << encoding;
                ASSERT_EQ(scanner.state(encoding).startOffset, expected[encoding].startOffset)
                    << "round " << round << " chunk " << chunk << " encoding " << encoding;
            }
        }
    }
}

struct ChunkCase {
    const char* name;
    Pieces pieces;
    PieceSearchState before;
    std::string current;
    std::optional<std::string> following;
    std::int32_t fullLength;
    int result;
    PieceSearchState after;
};

class ChunkSearchCases : public testing::TestWithParam<ChunkCase> {};

TEST_P(ChunkSearchCases, GiveTheResultAndState) {
    const ChunkCase& c = GetParam();
    PieceSearchState state = c.before;
    EXPECT_EQ(searchChunk(c.pieces, state, c.current, viewOf(c.following), c.fullLength), c.result);
    EXPECT_EQ(state.pieceIndex, c.after.pieceIndex);
    EXPECT_EQ(state.startOffset, c.after.startOffset);
}

INSTANTIATE_TEST_SUITE_P(
    ChunkSearchBoundaries, ChunkSearchCases,
    testing::Values(
        ChunkCase{"InsideOneChunk", {"12", "56"}, {}, "x12y56", std::nullopt, 6, 1, {2, 0}},
        ChunkCase{"StraddlingTheEnd", {"hello"}, {}, "xxhel", "lo", 5, 1, {1, 0}},
        ChunkCase{"StraddlingThenResuming", {"ab", "cd"}, {}, "xxxa", "bcd", 4, 0, {1, 1}},
        ChunkCase{"ResumesAtTheOffset", {"ab", "cd"}, {1, 1}, "bcdx", std::nullopt, 4, 1, {2, 0}},
        ChunkCase{
            "OffsetSkipsEarlierBytes", {"ab", "cd"}, {1, 2}, "cdxx", std::nullopt, 4, -1, {1, 0}},
        ChunkCase{"ShortChunkIsNotSearchedAcross", {"abc"}, {}, "xab", "c", 4, -1, {0, 0}},
        ChunkCase{"NoFollowingChunk", {"abc"}, {}, "xxab", std::nullopt, 4, -1, {0, 0}},
        ChunkCase{"FollowingTooShort", {"abcd"}, {}, "xxab", "c", 4, -1, {0, 0}},
        ChunkCase{"FirstByteAtTheVeryEnd", {"ab"}, {}, "xxxa", "", 4, -1, {0, 0}},
        ChunkCase{"PiecesDoNotOverlap", {"aa", "aa"}, {}, "aaa", std::nullopt, 3, -1, {1, 0}},
        ChunkCase{"AlreadyComplete", {"a"}, {1, 3}, "", std::nullopt, 4, 1, {1, 3}},
        ChunkCase{"OrderMatters", {"56", "12"}, {}, "12x56", std::nullopt, 5, -1, {1, 0}},
        ChunkCase{"OddOffsetOfWideText",
                  {std::string("a\0b\0", 4)},
                  {},
                  std::string("\0a\0b\0x", 6),
                  std::nullopt,
                  6,
                  1,
                  {1, 0}}),
    [](const testing::TestParamInfo<ChunkCase>& param) { return std::string(param.param.name); });

TEST(ChunkSearchFold, LowerCasesOnlyAsciiCapitalsAndOnlyInsideTheCount) {
    std::string bytes;
    for (int byte = 0; byte < 256; ++byte) {
        bytes.push_back(static_cast<char>(byte));
    }
    // Every byte value at every position of a vector.
    std::string text;
    for (std::size_t shift = 0; shift < 17; ++shift) {
        text += bytes.substr(shift) + bytes.substr(0, shift);
    }
    // Counts that end inside the wide steps, the single vectors and the byte-wise tail.
    for (const std::size_t count : {0, 1, 15, 16, 17, 63, 64, 65, 81, 100, 4000}) {
        std::string folded = text;
        foldAsciiLetters(folded.data(), count);
        for (std::size_t index = 0; index < text.size(); ++index) {
            const auto before = static_cast<unsigned char>(text[index]);
            const bool changes = index < count && before >= 'A' && before <= 'Z';
            ASSERT_EQ(static_cast<unsigned char>(folded[index]), changes ? before + 0x20 : before)
                << "count " << count << " at " << index;
        }
    }
}

}  // namespace
}  // namespace quillfen
