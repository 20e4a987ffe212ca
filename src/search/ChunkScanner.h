#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/ChunkSearch.h"

namespace quillfen {

// Searches the chunks of one file for the pieces of up to three encodings at once. Every
// encoding keeps the state that searching it alone would give, but the chunk is read in a single
// pass: a vectorised scan looks for places where the current piece of any encoding could start,
// judged by two rare bytes of each piece, and only those places are compared in full. A long piece
// is compared by following its borders, so that no byte of the chunk is compared twice however
// the file repeats itself: the work stays linear in the chunk and the piece.
class ChunkScanner {
public:
    static constexpr std::size_t kMaxEncodings = 3;

    // Pieces longer than this are compared by their borders instead of in one go.
    static constexpr std::int32_t kLongPiece = 64;

    // The piece lists are not copied and must outlive the scanner. Lists beyond kMaxEncodings are
    // ignored. A stop request, when given, cuts long comparisons short; the scan then finds
    // nothing more in the chunk.
    explicit ChunkScanner(const std::vector<const std::vector<std::string>*>& pieceLists,
                          std::int32_t fullChunkLength = kContentChunkSize,
                          const std::atomic<bool>* stopRequested = nullptr);

    // Searches one chunk for every encoding. True as soon as one encoding has found all its
    // pieces; the other encodings' states are then left where the pass stopped.
    bool scan(std::string_view current, std::optional<std::string_view> following);

    std::size_t encodingCount() const { return encodingCount_; }
    PieceSearchState& state(std::size_t encoding) { return encodings_[encoding].state; }
    // Bytes of the file compared with pieces beyond the prefilter so far, the measure that shows
    // the work is linear.
    std::int64_t comparedBytes() const { return comparedBytes_; }

    // Whether the quiet scan tests anchor bytes on their own first, and how that has paid in the
    // current chunk so far. Public only for the scan's helpers.
    struct AnchorGate {
        std::int32_t groups = 0;
        std::int32_t anchorGroups = 0;
        bool anchorsFirst = true;
    };

private:
    struct Piece {
        const char* bytes = nullptr;
        std::int32_t length = 0;
        // The rarest byte and two more rare bytes, by offset into the piece.
        std::int32_t anchor = 0;
        std::int32_t partner = 0;
        std::int32_t third = 0;
        // For a long piece, once needed: for each length k of a matched prefix, the length of
        // the longest proper prefix of those k bytes that is also their suffix.
        std::vector<std::int32_t> borders;
    };

    // How much of a long piece the bytes just compared end with.
    struct BorderMatch {
        std::int32_t matched = 0;
        std::int64_t compared = 0;
    };

    struct Encoding {
        std::vector<Piece> pieces;
        PieceSearchState state;
        // First start in the current chunk not yet ruled out for the current piece.
        std::int32_t position = 0;

        const Piece& piece() const { return pieces[static_cast<std::size_t>(state.pieceIndex)]; }
        Piece& piece() { return pieces[static_cast<std::size_t>(state.pieceIndex)]; }
        bool complete() const {
            return state.pieceIndex >= static_cast<std::int32_t>(pieces.size());
        }
    };

    struct ActiveSet {
        std::size_t indices[kMaxEncodings] = {};
        std::size_t count = 0;
    };

    Encoding encodings_[kMaxEncodings];
    std::size_t encodingCount_ = 0;
    std::int32_t fullChunkLength_;
    const char* chunk_ = nullptr;
    std::int32_t chunkLength_ = 0;
    AnchorGate gate_;
    const std::atomic<bool>* stopRequested_;
    std::int64_t comparedBytes_ = 0;

    static Piece preparePiece(const std::string& bytes);
    bool startChunk(Encoding& encoding) const;
    bool foundAt(Encoding& encoding, std::int32_t start);
    bool skipEmptyPieces(Encoding& encoding) const;
    bool scanInsideChunk();
    ActiveSet activeEncodings(std::int32_t anchorPosition) const;
    bool searchBlock(Encoding& encoding, std::int32_t anchorPosition);
    std::uint32_t blockCandidates(const Encoding& encoding, std::int32_t anchorPosition) const;
    std::int32_t firstMatchFrom(Encoding& encoding, std::int32_t start);
    std::int32_t firstLongMatch(Encoding& encoding, std::int32_t start);
    bool searchAcrossEnd(Encoding& encoding, std::string_view following);
    std::int32_t firstShortMatchAcrossEnd(const Piece& piece, std::int32_t first,
                                          std::string_view following);
    std::int32_t firstLongMatchAcrossEnd(Piece& piece, std::int32_t first,
                                         std::string_view following);
    bool matchesAcrossEnd(const Piece& piece, std::int32_t start, std::string_view following) const;
    bool feedLongPiece(const Piece& piece, std::string_view bytes, bool untilNoPrefix,
                       BorderMatch& match);
    bool stopped() const;
    static void prepareBorders(Piece& piece);
};

}  // namespace quillfen
