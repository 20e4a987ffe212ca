#pragma once

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
// judged by two rare bytes of each piece, and only those places are compared in full.
class ChunkScanner {
public:
    static constexpr std::size_t kMaxEncodings = 3;

    // The piece lists are not copied and must outlive the scanner. Lists beyond kMaxEncodings are
    // ignored.
    explicit ChunkScanner(const std::vector<const std::vector<std::string>*>& pieceLists,
                          std::int32_t fullChunkLength = kContentChunkSize);

    // Searches one chunk for every encoding. True as soon as one encoding has found all its
    // pieces; the other encodings' states are then left where the pass stopped.
    bool scan(std::string_view current, std::optional<std::string_view> following);

    std::size_t encodingCount() const { return encodingCount_; }
    PieceSearchState& state(std::size_t encoding) { return encodings_[encoding].state; }

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
    };

    struct Encoding {
        std::vector<Piece> pieces;
        PieceSearchState state;
        // First start in the current chunk not yet ruled out for the current piece.
        std::int32_t position = 0;

        const Piece& piece() const { return pieces[static_cast<std::size_t>(state.pieceIndex)]; }
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

    static Piece preparePiece(const std::string& bytes);
    bool startChunk(Encoding& encoding) const;
    bool foundAt(Encoding& encoding, std::int32_t start);
    bool skipEmptyPieces(Encoding& encoding) const;
    bool scanInsideChunk();
    ActiveSet activeEncodings(std::int32_t anchorPosition) const;
    bool searchBlock(Encoding& encoding, std::int32_t anchorPosition);
    std::uint32_t blockCandidates(const Encoding& encoding, std::int32_t anchorPosition) const;
    bool searchAcrossEnd(Encoding& encoding, std::string_view following) const;
    bool matchesAcrossEnd(const Piece& piece, std::int32_t start, std::string_view following) const;
};

}  // namespace quillfen
