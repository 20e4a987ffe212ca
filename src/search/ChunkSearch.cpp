#include "search/ChunkSearch.h"

#include <bit>
#include <cstring>

#include "search/ChunkScanner.h"
#include "search/ChunkVector.h"

namespace quillfen {

int searchChunk(const std::vector<std::string>& pieces, PieceSearchState& state,
                std::string_view current, std::optional<std::string_view> following) {
    return searchChunk(pieces, state, current, following, kContentChunkSize);
}

int searchChunk(const std::vector<std::string>& pieces, PieceSearchState& state,
                std::string_view current, std::optional<std::string_view> following,
                std::int32_t fullChunkLength) {
    ChunkScanner scanner({&pieces}, fullChunkLength);
    scanner.state(0) = state;
    const bool complete = scanner.scan(current, following);
    state = scanner.state(0);
    if (complete) {
        return 1;
    }
    // A piece found across the chunk end is the only way to leave a resume offset behind.
    return state.startOffset > 0 ? 0 : -1;
}

void foldAsciiLetters(char* bytes, std::size_t count) {
    constexpr std::size_t kStep = 4 * chunk_vector::kWidth;
    std::size_t index = 0;
    for (; index + kStep <= count; index += kStep) {
        for (std::size_t block = index; block < index + kStep; block += chunk_vector::kWidth) {
            chunk_vector::store(bytes + block,
                                chunk_vector::foldAsciiCapitals(chunk_vector::load(bytes + block)));
        }
    }
    for (; index + chunk_vector::kWidth <= count; index += chunk_vector::kWidth) {
        chunk_vector::store(bytes + index,
                            chunk_vector::foldAsciiCapitals(chunk_vector::load(bytes + index)));
    }
    for (; index < count; ++index) {
        const auto byte = static_cast<unsigned char>(bytes[index]);
        if (byte >= 'A' && byte <= 'Z') {
            bytes[index] = static_cast<char>(byte | 0x20);
        }
    }
}

}  // namespace quillfen
