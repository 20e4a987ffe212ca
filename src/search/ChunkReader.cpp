#include "search/ChunkReader.h"

#include <algorithm>

#include "search/ChunkSearch.h"

namespace quillfen {

ChunkReader::ChunkReader(platform::InputFile& file, std::int64_t size,
                         const CodePageFolding* folding)
    : file_(file),
      remaining_(std::max<std::int64_t>(size, 0)),
      chunkCount_(
          std::max<std::int64_t>((remaining_ + kContentChunkSize - 1) / kContentChunkSize, 1)),
      folding_(folding) {}

bool ChunkReader::readNext(ByteBuffer& chunk) {
    const auto wanted =
        static_cast<std::int32_t>(std::min<std::int64_t>(remaining_, kContentChunkSize));
    remaining_ -= wanted;
    // Dropping the old length first spares copying the previous chunk when the buffer grows.
    if (chunk.setLength(0) < 0 || (!ended_ && chunk.setLength(wanted) < 0)) {
        return false;
    }
    chunk.setLength(ended_ ? 0 : fill(chunk.data(), wanted));
    return true;
}

// Reads may return less than asked; only an end of file or an error stops the filling. What a
// read brought is folded at once, while it is still in the processor's cache.
std::int32_t ChunkReader::fill(char* bytes, std::int32_t wanted) {
    std::int32_t filled = 0;
    while (filled < wanted) {
        const std::int32_t asked = wanted - filled;
        const std::int64_t count = file_.read(bytes + filled, static_cast<std::size_t>(asked));
        if (count <= 0) {
            ended_ = true;
            break;
        }
        const auto arrived = static_cast<std::int32_t>(std::min<std::int64_t>(count, asked));
        if (folding_ != nullptr) {
            folding_->fold(bytes + filled, static_cast<std::size_t>(arrived), afterLeadByte_);
        }
        filled += arrived;
    }
    return filled;
}

}  // namespace quillfen
