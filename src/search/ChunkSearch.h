#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// File contents are searched this many bytes at a time; a piece may straddle two chunks.
inline constexpr std::int32_t kContentChunkSize = 1'048'576;

// How far one encoding has come in one file: the piece it looks for next and, after a piece was
// found across a chunk end, where in the next chunk the search goes on.
struct PieceSearchState {
    std::int32_t pieceIndex = 0;
    std::int32_t startOffset = 0;
};

// Searches one chunk for the pieces, in order and without overlap, from the state's piece on.
// Returns 1 when the last piece has been found, 0 when the state's piece was found running into
// `following` (the search resumes there at the state's startOffset), -1 when the chunk ended
// first (the next chunk is searched from its start). Only a full chunk is searched across its
// end, and only when a following chunk is given.
int searchChunk(const std::vector<std::string>& pieces, PieceSearchState& state,
                std::string_view current, std::optional<std::string_view> following);

// The same with the length of a full chunk as a parameter, so that chunk ends can be tested on
// small chunks.
int searchChunk(const std::vector<std::string>& pieces, PieceSearchState& state,
                std::string_view current, std::optional<std::string_view> following,
                std::int32_t fullChunkLength);

// Lower-cases the ASCII letters A-Z in place and leaves every other byte alone, so that bytes of
// any encoding stay what they were.
void foldAsciiLetters(char* bytes, std::size_t count);

}  // namespace quillfen
