#include "search/ChunkScanner.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>

#include "search/ChunkVector.h"

namespace quillfen {

namespace {

using chunk_vector::Bytes16;
using chunk_vector::kWidth;
using chunk_vector::load;
using AnchorGate = ChunkScanner::AnchorGate;

// The quiet scan tests this many positions before it looks at the result, which keeps the
// branch out of the inner work.
constexpr std::int32_t kGroupWidth = 4 * kWidth;

// Testing anchor bytes alone pays while they turn up in at most one group in kGateRatio; the
// grace keeps a few early groups from deciding for the whole chunk.
constexpr std::int32_t kGateRatio = 8;
constexpr std::int32_t kGateGrace = 16;

// Long comparisons look for a stop request this often, in bytes compared: often enough to stop
// within milliseconds, rarely enough to cost nothing.
constexpr std::size_t kStopCheckInterval = 64 * 1024;

// A rough rank of how often each byte value turns up in ordinary files, text and binary alike:
// higher is more common. Pieces are prefiltered by their least common bytes, so that few places
// need a full comparison.
constexpr std::array<std::uint8_t, 256> byteCommonness() {
    std::array<std::uint8_t, 256> rank{};
    for (int byte = 0; byte < 256; ++byte) {
        rank[static_cast<std::size_t>(byte)] = byte < 0x20 ? 30 : byte < 0x7F ? 70 : 40;
    }
    const auto set = [&rank](char byte, int value) {
        rank[static_cast<unsigned char>(byte)] = static_cast<std::uint8_t>(value);
    };
    const char* lower = "etaoinsrhldcumfpgwybvkxjqz";
    const char* upper = "ETAOINSRHLDCUMFPGWYBVKXJQZ";
    for (int index = 0; index < 26; ++index) {
        set(lower[index], 240 - 5 * index);
        set(upper[index], 100 - 2 * index);
    }
    for (char digit = '0'; digit <= '9'; ++digit) {
        set(digit, digit <= '2' ? 120 : 105);
    }
    for (const char punctuation : std::string_view(".,;:-_/()\"'=<>")) {
        set(punctuation, 90);
    }
    set(' ', 250);
    // Common in binary files yet absent from 8-bit text, where it makes the UTF-16 form of a word
    // of common letters a quiet probe.
    set('\0', 200);
    set('\n', 130);
    set('\r', 110);
    set('\t', 100);
    set('\xFF', 120);
    return rank;
}

constexpr std::array<std::uint8_t, 256> kCommonness = byteCommonness();

int commonness(char byte) {
    return kCommonness[static_cast<unsigned char>(byte)];
}

// The offset of the least common byte, preferring the first of equals, among the offsets the
// filter accepts.
template <typename Filter>
std::int32_t rarestOffset(std::string_view bytes, Filter accept) {
    std::int32_t best = -1;
    for (std::int32_t offset = 0; offset < static_cast<std::int32_t>(bytes.size()); ++offset) {
        if (accept(offset) && (best < 0 || commonness(bytes[static_cast<std::size_t>(offset)]) <
                                               commonness(bytes[static_cast<std::size_t>(best)]))) {
            best = offset;
        }
    }
    return best;
}

template <typename Word>
Word loadWord(const char* at) {
    Word word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// Compares a candidate with its piece. Most pieces are short, and two overlapping word loads
// settle them without a call and its length tests.
bool sameBytes(const char* candidate, const char* piece, std::int32_t length) {
    const auto size = static_cast<std::size_t>(length);
    if (size >= 8 && size <= 16) {
        return loadWord<std::uint64_t>(candidate) == loadWord<std::uint64_t>(piece) &&
               loadWord<std::uint64_t>(candidate + size - 8) ==
                   loadWord<std::uint64_t>(piece + size - 8);
    }
    if (size >= 4 && size < 8) {
        return loadWord<std::uint32_t>(candidate) == loadWord<std::uint32_t>(piece) &&
               loadWord<std::uint32_t>(candidate + size - 4) ==
                   loadWord<std::uint32_t>(piece + size - 4);
    }
    return std::memcmp(candidate, piece, size) == 0;
}

// For each length k of a matched prefix of the piece, the length of the longest proper prefix of
// those k bytes that also ends them: where a comparison that fails after k bytes may go on
// without looking at those bytes again.
std::vector<std::int32_t> bordersOf(std::string_view piece) {
    const auto length = static_cast<std::int32_t>(piece.size());
    std::vector<std::int32_t> borders(static_cast<std::size_t>(length), 0);
    std::int32_t border = 0;
    for (std::int32_t end = 1; end + 1 < length; ++end) {
        const char byte = piece[static_cast<std::size_t>(end)];
        while (border > 0 && piece[static_cast<std::size_t>(border)] != byte) {
            border = borders[static_cast<std::size_t>(border)];
        }
        if (piece[static_cast<std::size_t>(border)] == byte) {
            ++border;
        }
        borders[static_cast<std::size_t>(end + 1)] = border;
    }
    return borders;
}

// The three bytes of one encoding's current piece as the quiet scan tests them: the anchor byte at
// the scanned position and the other two at their distances from it.
struct Probe {
    Bytes16 anchor;
    Bytes16 partner;
    std::int32_t partnerShift;
    Bytes16 third;
    std::int32_t thirdShift;
};

struct ProbeSet;
using SkipGroups = std::int32_t (*)(const char* chunk, std::int32_t position, std::int32_t last,
                                    const ProbeSet& set, AnchorGate& gate);
using BlocksWithCandidates = unsigned (*)(const char* at, const ProbeSet& set);

// The probes of the encodings that still search the chunk, with the scan functions compiled for
// their number, and the range of anchor positions they need.
struct ProbeSet {
    Probe probes[ChunkScanner::kMaxEncodings];
    std::size_t count = 0;
    // The anchor bytes without repeats: encodings of the same text often share one.
    Bytes16 anchors[ChunkScanner::kMaxEncodings];
    unsigned char anchorBytes[ChunkScanner::kMaxEncodings] = {};
    std::size_t distinctAnchors = 0;
    std::int32_t lowestShift = 0;
    std::int32_t highestShift = 0;
    // The first anchor position past one encoding's last start, and past every encoding's.
    std::int32_t firstEnd = std::numeric_limits<std::int32_t>::max();
    std::int32_t lastEnd = 0;
    SkipGroups skip = nullptr;
    BlocksWithCandidates blocksWithCandidates = nullptr;

    void add(const Probe& probe, unsigned char anchorByte, std::int32_t end);
    void chooseFunctions();
};

void ProbeSet::add(const Probe& probe, unsigned char anchorByte, std::int32_t end) {
    probes[count++] = probe;
    const unsigned char* known = anchorBytes + distinctAnchors;
    if (std::find(static_cast<const unsigned char*>(anchorBytes), known, anchorByte) == known) {
        anchorBytes[distinctAnchors] = anchorByte;
        anchors[distinctAnchors++] = chunk_vector::repeat(anchorByte);
    }
    lowestShift = std::min({lowestShift, probe.partnerShift, probe.thirdShift});
    highestShift = std::max({highestShift, probe.partnerShift, probe.thirdShift});
    firstEnd = std::min(firstEnd, end);
    lastEnd = std::max(lastEnd, end);
}

Bytes16 othersMatch(const char* at, const Probe& probe) {
    return (load(at + probe.partnerShift) == probe.partner) &
           (load(at + probe.thirdShift) == probe.third);
}

template <std::size_t Count, bool SharedAnchor>
Bytes16 blockCandidates(const char* at, const Probe* probes) {
    const Bytes16 here = load(at);
    if constexpr (SharedAnchor) {
        Bytes16 others = othersMatch(at, probes[0]);
        for (std::size_t probe = 1; probe < Count; ++probe) {
            others |= othersMatch(at, probes[probe]);
        }
        return (here == probes[0].anchor) & others;
    } else {
        Bytes16 any = {};
        for (std::size_t probe = 0; probe < Count; ++probe) {
            any |= (here == probes[probe].anchor) & othersMatch(at, probes[probe]);
        }
        return any;
    }
}

template <std::size_t Count, bool SharedAnchor>
Bytes16 groupCandidates(const char* at, const Probe* probes) {
    Bytes16 any = {};
    for (std::int32_t block = 0; block < kGroupWidth; block += kWidth) {
        any |= blockCandidates<Count, SharedAnchor>(at + block, probes);
    }
    return any;
}

template <std::size_t Distinct>
Bytes16 groupAnchors(const char* at, const Bytes16* anchors) {
    Bytes16 any = {};
    for (std::int32_t block = 0; block < kGroupWidth; block += kWidth) {
        const Bytes16 here = load(at + block);
        for (std::size_t anchor = 0; anchor < Distinct; ++anchor) {
            any |= here == anchors[anchor];
        }
    }
    return any;
}

// Moves over whole groups of anchor positions in which no encoding has a candidate, up to `last`
// (the start of the last group that may be tested). Returns the first group not skipped. While
// the anchor bytes are rare in the chunk, groups are tested for them alone, which costs little
// and is the same work for every encoding that shares its anchor byte; once they turn up in too
// many groups, the pairs are tested straight away.
template <std::size_t Count, std::size_t Distinct>
std::int32_t skipGroups(const char* chunk, std::int32_t position, std::int32_t last,
                        const ProbeSet& set, AnchorGate& gate) {
    constexpr bool kSharedAnchor = Distinct == 1;
    while (gate.anchorsFirst && position <= last) {
        const char* at = chunk + position;
        ++gate.groups;
        if (chunk_vector::anySet(groupAnchors<Distinct>(at, set.anchors))) {
            ++gate.anchorGroups;
            gate.anchorsFirst = gate.anchorGroups * kGateRatio <= gate.groups + kGateGrace;
            if (chunk_vector::anySet(groupCandidates<Count, kSharedAnchor>(at, set.probes))) {
                return position;
            }
        }
        position += kGroupWidth;
    }
    while (position <= last && !chunk_vector::anySet(groupCandidates<Count, kSharedAnchor>(
                                   chunk + position, set.probes))) {
        position += kGroupWidth;
    }
    return position;
}

// Which of the group's blocks hold a candidate of some encoding, one bit per block.
template <std::size_t Count, std::size_t Distinct>
unsigned blockFlags(const char* at, const ProbeSet& set) {
    unsigned flags = 0;
    for (unsigned block = 0; block < kGroupWidth / kWidth; ++block) {
        if (chunk_vector::anySet(
                blockCandidates<Count, Distinct == 1>(at + block * kWidth, set.probes))) {
            flags |= 1u << block;
        }
    }
    return flags;
}

template <std::size_t Count, std::size_t Distinct>
void useFunctions(ProbeSet& set) {
    set.skip = &skipGroups<Count, Distinct>;
    set.blocksWithCandidates = &blockFlags<Count, Distinct>;
}

void ProbeSet::chooseFunctions() {
    switch (count * 10 + distinctAnchors) {
        case 11:
            return useFunctions<1, 1>(*this);
        case 21:
            return useFunctions<2, 1>(*this);
        case 22:
            return useFunctions<2, 2>(*this);
        case 31:
            return useFunctions<3, 1>(*this);
        case 32:
            return useFunctions<3, 2>(*this);
        default:
            return useFunctions<3, 3>(*this);
    }
}

}  // namespace

ChunkScanner::ChunkScanner(const std::vector<const std::vector<std::string>*>& pieceLists,
                           std::int32_t fullChunkLength, const std::atomic<bool>* stopRequested)
    : encodingCount_(std::min(pieceLists.size(), kMaxEncodings)),
      fullChunkLength_(fullChunkLength),
      stopRequested_(stopRequested) {
    for (std::size_t index = 0; index < encodingCount_; ++index) {
        for (const std::string& piece : *pieceLists[index]) {
            encodings_[index].pieces.push_back(preparePiece(piece));
        }
    }
}

ChunkScanner::Piece ChunkScanner::preparePiece(const std::string& bytes) {
    Piece piece;
    piece.bytes = bytes.data();
    piece.length = static_cast<std::int32_t>(bytes.size());
    if (bytes.empty()) {
        return piece;
    }
    piece.anchor = rarestOffset(bytes, [](std::int32_t) { return true; });
    const char anchorByte = bytes[static_cast<std::size_t>(piece.anchor)];
    piece.partner = rarestOffset(bytes, [&bytes, anchorByte](std::int32_t offset) {
        return bytes[static_cast<std::size_t>(offset)] != anchorByte;
    });
    if (piece.partner < 0) {
        // A run of one byte value: its two ends are the best pair there is.
        piece.partner = piece.anchor == piece.length - 1 ? 0 : piece.length - 1;
    }
    piece.third = rarestOffset(bytes, [&piece](std::int32_t offset) {
        return offset != piece.anchor && offset != piece.partner;
    });
    if (piece.third < 0) {
        piece.third = piece.partner;
    }
    return piece;
}

bool ChunkScanner::scan(std::string_view current, std::optional<std::string_view> following) {
    gate_ = {};
    chunk_ = current.data();
    chunkLength_ = static_cast<std::int32_t>(current.size());
    for (std::size_t index = 0; index < encodingCount_; ++index) {
        if (encodings_[index].complete()) {
            return true;
        }
    }
    for (std::size_t index = 0; index < encodingCount_; ++index) {
        if (startChunk(encodings_[index])) {
            return true;
        }
    }
    if (scanInsideChunk()) {
        return true;
    }
    if (chunkLength_ != fullChunkLength_ || !following || stopped()) {
        return false;
    }
    for (std::size_t index = 0; index < encodingCount_; ++index) {
        if (searchAcrossEnd(encodings_[index], *following)) {
            return true;
        }
    }
    return false;
}

bool ChunkScanner::startChunk(Encoding& encoding) const {
    encoding.position = encoding.state.startOffset;
    encoding.state.startOffset = 0;
    return skipEmptyPieces(encoding);
}

// An empty piece is found wherever the search stands.
bool ChunkScanner::skipEmptyPieces(Encoding& encoding) const {
    while (!encoding.complete() && encoding.piece().length == 0 &&
           encoding.position <= chunkLength_) {
        ++encoding.state.pieceIndex;
    }
    return encoding.complete();
}

bool ChunkScanner::foundAt(Encoding& encoding, std::int32_t start) {
    // The next piece has other anchor bytes, which deserve a fresh trial.
    gate_ = {};
    encoding.position = start + encoding.piece().length;
    ++encoding.state.pieceIndex;
    return skipEmptyPieces(encoding);
}

// Anchor positions advance for all encodings together; an encoding drops out once every start
// of its current piece inside the chunk has been ruled out.
ChunkScanner::ActiveSet ChunkScanner::activeEncodings(std::int32_t anchorPosition) const {
    ActiveSet active;
    for (std::size_t index = 0; index < encodingCount_; ++index) {
        const Encoding& encoding = encodings_[index];
        const Piece& piece = encoding.piece();
        const std::int32_t lastStart = chunkLength_ - piece.length;
        if (std::max(encoding.position, anchorPosition - piece.anchor) <= lastStart) {
            active.indices[active.count++] = index;
        }
    }
    return active;
}

// The quiet scan skips groups of anchor positions without a candidate; a group with one is
// searched block by block. The probes stay until a piece is found or an encoding runs out of
// starts.
bool ChunkScanner::scanInsideChunk() {
    constexpr unsigned kAllBlocks = (1u << (kGroupWidth / kWidth)) - 1;
    std::int32_t anchorPosition = std::numeric_limits<std::int32_t>::max();
    for (std::size_t index = 0; index < encodingCount_; ++index) {
        const Encoding& encoding = encodings_[index];
        anchorPosition = std::min(anchorPosition, encoding.position + encoding.piece().anchor);
    }
    ActiveSet active;
    ProbeSet set;
    bool stale = true;
    for (;;) {
        if (stale || anchorPosition >= set.firstEnd) {
            active = activeEncodings(anchorPosition);
            if (active.count == 0) {
                return false;
            }
            set = ProbeSet{};
            std::int32_t nearest = std::numeric_limits<std::int32_t>::max();
            for (std::size_t slot = 0; slot < active.count; ++slot) {
                const Encoding& encoding = encodings_[active.indices[slot]];
                const Piece& piece = encoding.piece();
                const auto byteAt = [&piece](std::int32_t offset) {
                    return static_cast<unsigned char>(piece.bytes[offset]);
                };
                set.add({chunk_vector::repeat(byteAt(piece.anchor)),
                         chunk_vector::repeat(byteAt(piece.partner)), piece.partner - piece.anchor,
                         chunk_vector::repeat(byteAt(piece.third)), piece.third - piece.anchor},
                        byteAt(piece.anchor), chunkLength_ - piece.length + piece.anchor + 1);
                nearest = std::min(nearest, encoding.position + piece.anchor);
            }
            set.chooseFunctions();
            anchorPosition = std::max(anchorPosition, nearest);
            stale = false;
        }
        // Groups are tested with vectors only where every probe's bytes lie inside the chunk.
        const std::int32_t lastWhole = chunkLength_ - kGroupWidth - set.highestShift;
        const bool pastStart = anchorPosition + set.lowestShift >= 0;
        if (pastStart) {
            anchorPosition =
                set.skip(chunk_, anchorPosition, std::min(lastWhole, set.lastEnd - 1), set, gate_);
        }
        unsigned blocks = pastStart && anchorPosition <= lastWhole
                              ? set.blocksWithCandidates(chunk_ + anchorPosition, set)
                              : kAllBlocks;
        for (unsigned block = 0; block < kGroupWidth / kWidth; ++block, anchorPosition += kWidth) {
            if ((blocks & (1u << block)) == 0) {
                continue;
            }
            for (std::size_t slot = 0; slot < active.count; ++slot) {
                Encoding& encoding = encodings_[active.indices[slot]];
                const std::int32_t pieceBefore = encoding.state.pieceIndex;
                if (searchBlock(encoding, anchorPosition)) {
                    return true;
                }
                // The flags were worked out for the old piece; and a long comparison may have
                // ruled out starts far ahead, which the next probes should skip.
                if (encoding.state.pieceIndex != pieceBefore ||
                    encoding.position > anchorPosition + kGroupWidth) {
                    stale = true;
                    blocks = kAllBlocks;
                }
            }
        }
    }
}

// Starts whose anchor byte lies in the block of kWidth bytes at anchorPosition and whose other two
// probed bytes match too, as bits by offset into the block. Blocks at the chunk's ends are tested
// byte by byte so that no byte outside the chunk is read.
std::uint32_t ChunkScanner::blockCandidates(const Encoding& encoding,
                                            std::int32_t anchorPosition) const {
    const Piece& piece = encoding.piece();
    const auto byteAt = [&piece](std::int32_t offset) {
        return static_cast<unsigned char>(piece.bytes[offset]);
    };
    const std::int32_t partnerShift = piece.partner - piece.anchor;
    const std::int32_t thirdShift = piece.third - piece.anchor;
    if (anchorPosition + std::min({partnerShift, thirdShift, 0}) >= 0 &&
        anchorPosition + kWidth + std::max({partnerShift, thirdShift, 0}) <= chunkLength_) {
        const char* at = chunk_ + anchorPosition;
        return chunk_vector::maskBits(
            (load(at) == chunk_vector::repeat(byteAt(piece.anchor))) &
            (load(at + partnerShift) == chunk_vector::repeat(byteAt(piece.partner))) &
            (load(at + thirdShift) == chunk_vector::repeat(byteAt(piece.third))));
    }
    std::uint32_t bits = 0;
    const std::int32_t lastStart = chunkLength_ - piece.length;
    for (std::int32_t offset = 0; offset < kWidth; ++offset) {
        const std::int32_t start = anchorPosition + offset - piece.anchor;
        const auto sameAt = [&](std::int32_t at) {
            return static_cast<unsigned char>(chunk_[start + at]) == byteAt(at);
        };
        if (start >= 0 && start <= lastStart && sameAt(piece.anchor) && sameAt(piece.partner) &&
            sameAt(piece.third)) {
            bits |= 1u << offset;
        }
    }
    return bits;
}

// Compares the candidates of one block in full, moving on to the next piece after each find
// (its candidates in the same block come after the find). True when the last piece is found.
bool ChunkScanner::searchBlock(Encoding& encoding, std::int32_t anchorPosition) {
    std::uint32_t candidates = blockCandidates(encoding, anchorPosition);
    while (candidates != 0) {
        const auto offset = static_cast<std::int32_t>(std::countr_zero(candidates));
        candidates &= candidates - 1;
        const Piece& piece = encoding.piece();
        const std::int32_t start = anchorPosition + offset - piece.anchor;
        if (start < encoding.position) {
            continue;
        }
        if (start > chunkLength_ - piece.length) {
            return false;
        }
        const std::int32_t found = firstMatchFrom(encoding, start);
        if (found < 0) {
            continue;
        }
        if (foundAt(encoding, found)) {
            return true;
        }
        if (encoding.position > chunkLength_ - encoding.piece().length) {
            return false;
        }
        candidates = blockCandidates(encoding, anchorPosition);
    }
    return false;
}

// A short piece is compared at the candidate alone; a long one from there on, until it is found
// or the bytes compared end with no part of it.
std::int32_t ChunkScanner::firstMatchFrom(Encoding& encoding, std::int32_t start) {
    const Piece& piece = encoding.piece();
    if (piece.length > kLongPiece) {
        return firstLongMatch(encoding, start);
    }
    comparedBytes_ += piece.length;
    return sameBytes(chunk_ + start, piece.bytes, piece.length) ? start : -1;
}

// The border table is built only for a piece that reaches a comparison, once per file.
void ChunkScanner::prepareBorders(Piece& piece) {
    if (piece.borders.empty()) {
        piece.borders = bordersOf({piece.bytes, static_cast<std::size_t>(piece.length)});
    }
}

bool ChunkScanner::stopped() const {
    return stopRequested_ != nullptr && stopRequested_->load(std::memory_order_relaxed);
}

// Feeds bytes of the file to a long piece's borders. True as soon as the bytes fed so far end
// with the whole piece. With `untilNoPrefix` the feeding also ends once they end with no prefix
// of it, where the quicker prefilter can take over again. A stop request ends it too.
bool ChunkScanner::feedLongPiece(const Piece& piece, std::string_view bytes, bool untilNoPrefix,
                                 BorderMatch& match) {
    std::int32_t matched = match.matched;
    std::size_t fed = 0;
    bool complete = false;
    while (fed < bytes.size()) {
        const char byte = bytes[fed++];
        while (matched > 0 && piece.bytes[matched] != byte) {
            matched = piece.borders[static_cast<std::size_t>(matched)];
        }
        if (piece.bytes[matched] == byte) {
            ++matched;
        }
        if (matched == piece.length) {
            complete = true;
            break;
        }
        if ((matched == 0 && untilNoPrefix) || (fed % kStopCheckInterval == 0 && stopped())) {
            break;
        }
    }
    match.matched = matched;
    match.compared += static_cast<std::int64_t>(fed);
    comparedBytes_ += static_cast<std::int64_t>(fed);
    return complete;
}

// The first occurrence of the encoding's long piece inside the chunk that starts at `start` or
// later. Without one, the encoding's position moves past the starts the comparison ruled out, so
// that no byte is compared again by a later candidate.
std::int32_t ChunkScanner::firstLongMatch(Encoding& encoding, std::int32_t start) {
    Piece& piece = encoding.piece();
    prepareBorders(piece);
    BorderMatch match;
    const bool complete = feedLongPiece(
        piece, {chunk_ + start, static_cast<std::size_t>(chunkLength_ - start)}, true, match);
    const auto end = static_cast<std::int32_t>(start + match.compared);
    if (complete) {
        return end - piece.length;
    }
    encoding.position = stopped() ? chunkLength_ : end - match.matched;
    return -1;
}

bool ChunkScanner::matchesAcrossEnd(const Piece& piece, std::int32_t start,
                                    std::string_view following) const {
    const std::int32_t inside = chunkLength_ - start;
    const auto outside = static_cast<std::size_t>(piece.length - inside);
    return outside <= following.size() &&
           std::memcmp(chunk_ + start, piece.bytes, static_cast<std::size_t>(inside)) == 0 &&
           std::memcmp(following.data(), piece.bytes + inside, outside) == 0;
}

// Starts that no longer fit inside the chunk may still find the piece with the following chunk's
// first bytes; the search then resumes in that chunk just after it.
bool ChunkScanner::searchAcrossEnd(Encoding& encoding, std::string_view following) {
    Piece& piece = encoding.piece();
    const std::int32_t first = std::max({encoding.position, chunkLength_ - piece.length + 1, 0});
    const std::int32_t start = piece.length > kLongPiece
                                   ? firstLongMatchAcrossEnd(piece, first, following)
                                   : firstShortMatchAcrossEnd(piece, first, following);
    if (start < 0) {
        return false;
    }
    ++encoding.state.pieceIndex;
    if (encoding.complete()) {
        return true;
    }
    encoding.state.startOffset = start + piece.length - chunkLength_;
    return false;
}

// A short piece is compared at each start across the end: at most its length squared per chunk.
std::int32_t ChunkScanner::firstShortMatchAcrossEnd(const Piece& piece, std::int32_t first,
                                                    std::string_view following) {
    for (std::int32_t start = first; start < chunkLength_; ++start) {
        comparedBytes_ += piece.length;
        if (matchesAcrossEnd(piece, start, following)) {
            return start;
        }
    }
    return -1;
}

// A long piece is followed through the chunk's last bytes and on into as many of the following
// chunk's as an occurrence starting in this chunk can reach, each byte once.
std::int32_t ChunkScanner::firstLongMatchAcrossEnd(Piece& piece, std::int32_t first,
                                                   std::string_view following) {
    const std::int32_t inside = chunkLength_ - first;
    const std::string_view reachable =
        following.substr(0, static_cast<std::size_t>(piece.length - 1));
    if (inside <= 0 ||
        static_cast<std::int64_t>(inside) + static_cast<std::int64_t>(reachable.size()) <
            piece.length) {
        return -1;
    }
    prepareBorders(piece);
    BorderMatch match;
    // The chunk's part is shorter than the piece, so only the following bytes can complete it.
    feedLongPiece(piece, {chunk_ + first, static_cast<std::size_t>(inside)}, false, match);
    if (stopped() || !feedLongPiece(piece, reachable, false, match)) {
        return -1;
    }
    return first + static_cast<std::int32_t>(match.compared) - piece.length;
}

}  // namespace quillfen
