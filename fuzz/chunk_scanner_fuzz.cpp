// Every input is a file's bytes with up to three lists of pieces in front of it, and the length
// of a full chunk (1 to 300 bytes, so that pieces straddle many chunk ends). The scanner, fed the
// file chunk by chunk (pieces no longer than a chunk) as the content search feeds it, must find a
// list exactly when a plain in-order search of the whole file finds all its pieces without overlap.
#include <algorithm>
#include <optional>
#include <vector>

#include "FuzzSupport.h"
#include "search/ChunkScanner.h"

namespace {

constexpr std::size_t kMaxPieces = 4;
constexpr std::int32_t kMaxChunkLength = 300;

bool plainSearchFinds(const std::vector<std::string>& pieces, std::string_view file) {
    std::size_t position = 0;
    for (const std::string& piece : pieces) {
        const std::size_t found = file.find(piece, position);
        if (found == std::string_view::npos) {
            return false;
        }
        position = found + piece.size();
    }
    return true;
}

bool scannerFinds(const std::vector<std::vector<std::string>>& lists, std::string_view file,
                  std::int32_t chunkLength) {
    std::vector<const std::vector<std::string>*> pointers;
    for (const auto& list : lists) {
        pointers.push_back(&list);
    }
    quillfen::ChunkScanner scanner(pointers, chunkLength);
    const auto length = static_cast<std::size_t>(chunkLength);
    for (std::size_t start = 0; start < file.size(); start += length) {
        const std::string_view current = file.substr(start, length);
        const std::size_t next = start + length;
        const std::optional<std::string_view> following =
            next < file.size() ? std::optional(file.substr(next, length)) : std::nullopt;
        if (scanner.scan(current, following)) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillfen::fuzz::InputFields fields(data, size);
    const unsigned lengthChoice = fields.byte() * 256 + fields.byte();
    const auto chunkLength = static_cast<std::int32_t>(lengthChoice % kMaxChunkLength) + 1;
    const std::size_t listCount = fields.byte() % quillfen::ChunkScanner::kMaxEncodings + 1;
    std::vector<std::vector<std::string>> lists(listCount);
    for (auto& list : lists) {
        const std::size_t pieceCount = fields.byte() % kMaxPieces + 1;
        for (std::size_t i = 0; i < pieceCount; ++i) {
            // The content compiler never gives an empty piece, and a piece reaches across one
            // chunk end at most, as real pieces are far shorter than a chunk.
            const std::string_view piece =
                fields.text().substr(0, static_cast<std::size_t>(chunkLength));
            if (!piece.empty()) {
                list.emplace_back(piece);
            }
        }
        if (list.empty()) {
            list.emplace_back(1, 'a');
        }
    }
    const std::string_view file = fields.rest();
    if (file.empty()) {
        return 0;
    }
    const bool expected = std::any_of(lists.begin(), lists.end(), [file](const auto& list) {
        return plainSearchFinds(list, file);
    });
    FUZZ_CHECK(scannerFinds(lists, file, chunkLength) == expected);
    return 0;
}
