#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
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

// Searches a whole file cut into chunks with one scanner for all encodings and with the reference
// for each on its own: the outcome and every state after each chunk must agree.
void expectSameAsSeparateSearches(const std::vector<Pieces>& encodings, std::string_view file,
                                  std::int32_t fullLength, const std::string& label) {
    std::vector<const Pieces*> lists;
    for (const Pieces& pieces : encodings) {
        lists.push_back(&pieces);
    }
    ChunkScanner scanner(lists, fullLength);
    std::vector<PieceSearchState> expected(encodings.size());
    const auto chunkSize = static_cast<std::size_t>(fullLength);
    const std::size_t chunkCount =
        std::max<std::size_t>((file.size() + chunkSize - 1) / chunkSize, 1);
    for (std::size_t chunk = 0; chunk < chunkCount; ++chunk) {
        const std::string_view current =
            file.substr(std::min(chunk * chunkSize, file.size()), chunkSize);
        const std::optional<std::string_view> following =
            chunk + 1 < chunkCount
                ? std::optional<std::string_view>(file.substr((chunk + 1) * chunkSize, chunkSize))
                : std::nullopt;
        bool expectedFound = false;
        for (std::size_t encoding = 0; encoding < encodings.size(); ++encoding) {
            expectedFound = referenceSearch(encodings[encoding], expected[encoding], current,
                                            following, fullLength) == 1 ||
                            expectedFound;
        }
        ASSERT_EQ(scanner.scan(current, following), expectedFound) << label << " chunk " << chunk;
        if (expectedFound) {
            return;
        }
        for (std::size_t encoding = 0; encoding < encodings.size(); ++encoding) {
            ASSERT_EQ(scanner.state(encoding).pieceIndex, expected[encoding].pieceIndex)
                << label << " chunk " << chunk << " encoding " << encoding;
            ASSERT_EQ(scanner.state(encoding).startOffset, expected[encoding].startOffset)
                << label << " chunk " << chunk << " encoding " << encoding;
        }
    }
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
        expectSameAsSeparateSearches(encodings, file, fullLength, "round " + std::to_string(round));
        ASSERT_FALSE(HasFatalFailure());
    }
}

// Files that make near misses of long pieces everywhere, in chunks of 1 to 300 bytes, with one
// occurrence placed across the first chunk end whenever the chunks are long enough for that.
struct AdversarialFile {
    std::string file;
    std::vector<Pieces> encodings;
};

std::string repeated(std::string_view unit, std::size_t length) {
    std::string text;
    while (text.size() < length) {
        text += unit;
    }
    text.resize(length);
    return text;
}

std::vector<AdversarialFile> adversarialFiles(std::int32_t fullLength) {
    const auto length = static_cast<std::size_t>(ChunkScanner::kLongPiece + 1 + fullLength % 64);
    const auto start = static_cast<std::size_t>(std::max<std::int32_t>(
        0, fullLength - static_cast<std::int32_t>(length) / 2 + fullLength % 7));
    const std::size_t size = 3 * static_cast<std::size_t>(fullLength) + 2 * length;
    std::mt19937 random(static_cast<unsigned>(fullLength));
    std::vector<AdversarialFile> files;
    // Zeros, with the one byte 01 that ends an occurrence.
    std::string zeros(size, '\0');
    zeros[start + length - 1] = '\x01';
    files.push_back({zeros,
                     {{std::string(length - 1, '\0') + '\x01'},
                      {std::string(length - 1, '\0') + '\x02'},
                      {std::string(length, '\0'), "\x01"}}});
    // "ba" repeated, with one 'e' that ends an occurrence; the piece that misses ends in 'e' too.
    std::string periodic = repeated("ba", size);
    periodic[start + length - 1] = 'e';
    files.push_back({periodic,
                     {{periodic.substr(start, length)},
                      {repeated("ab", length - 1) + 'e'},
                      {repeated("ba", length), periodic.substr(start + 1, length)}}});
    // Random two-letter text: pieces cut from it have borders of every kind.
    const std::string mixed = randomText(random, size, "aab");
    files.push_back({mixed,
                     {{mixed.substr(start, length)},
                      {mixed.substr(0, length / 2), mixed.substr(start + 1, length)},
                      {mixed.substr(size - length), "a"}}});
    return files;
}

TEST(ChunkSearchDifferential, LongPiecesAgreeWithTheReferenceOnNearMissesAtEveryChunkLength) {
    for (std::int32_t fullLength = 1; fullLength <= 300; ++fullLength) {
        const std::vector<AdversarialFile> files = adversarialFiles(fullLength);
        for (std::size_t index = 0; index < files.size(); ++index) {
            expectSameAsSeparateSearches(
                files[index].encodings, files[index].file, fullLength,
                "file " + std::to_string(index) + " chunk length " + std::to_string(fullLength));
            ASSERT_FALSE(HasFatalFailure());
        }
    }
}

// The bytes compared beyond the prefilter stay within a small multiple of the file, whatever the
// piece's length, where comparing each start in full costs the file times the piece; and a stop
// request ends a long comparison within its interval.
TEST(ChunkSearchWork, LongPiecesCostWorkLinearInTheFileAndAStopCutsItShort) {
    constexpr std::int32_t kChunk = 4096;
    constexpr std::size_t kSize = 64 * kChunk;
    const std::string zeros(kSize, '\0');
    const std::string periodic = repeated("ba", kSize);
    struct WorkCase {
        const std::string* file;
        std::string piece;
        std::int32_t chunk;
        bool stop;
        std::int64_t mostCompared;
    };
    const WorkCase cases[] = {
        {&zeros, std::string(1000, '\0') + '\x01', kChunk, false, 3 * kSize},
        {&zeros, std::string(6000, '\0') + '\x01', kChunk, false, 3 * kSize},
        {&periodic, repeated("ba", 1000) + 'e', kChunk, false, 3 * kSize},
        {&periodic, repeated("ba", 6000) + 'e', kChunk, false, 3 * kSize},
        {&periodic, repeated("ba", 1000) + 'e', static_cast<std::int32_t>(kSize), true,
         64 * 1024 + 1},
    };
    for (const WorkCase& c : cases) {
        const Pieces pieces{c.piece};
        const std::atomic<bool> stop{c.stop};
        ChunkScanner scanner({&pieces}, c.chunk, &stop);
        const std::string_view file = *c.file;
        const auto chunk = static_cast<std::size_t>(c.chunk);
        for (std::size_t at = 0; at < file.size(); at += chunk) {
            EXPECT_FALSE(scanner.scan(file.substr(at, chunk),
                                      at + chunk < file.size()
                                          ? std::optional(file.substr(at + chunk, chunk))
                                          : std::nullopt));
        }
        EXPECT_LE(scanner.comparedBytes(), c.mostCompared) << "piece of " << c.piece.size();
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
