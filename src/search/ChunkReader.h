#pragma once

#include <cstdint>

#include "platform/InputFile.h"
#include "search/ByteBuffer.h"
#include "search/CodePageFolding.h"

namespace quillfen {

// Reads a file in chunks of kContentChunkSize up to the size it was listed with: every chunk but
// the last is full, an empty file is one empty chunk. A file that has shrunk gives shorter
// chunks and, once it has ended or a read has failed, empty ones; one that has grown is read only
// up to the listed size.
class ChunkReader {
public:
    // Without a folding the chunks are given as read.
    ChunkReader(platform::InputFile& file, std::int64_t size, const CodePageFolding* folding);

    std::int64_t chunkCount() const { return chunkCount_; }
    // Replaces the buffer's contents with the next chunk, folded when the reader folds. False only
    // when memory for the chunk could not be had.
    bool readNext(ByteBuffer& chunk);

private:
    platform::InputFile& file_;
    std::int64_t remaining_;
    std::int64_t chunkCount_;
    const CodePageFolding* folding_;
    bool afterLeadByte_ = false;
    bool ended_ = false;

    std::int32_t fill(char* bytes, std::int32_t wanted);
};

}  // namespace quillfen
