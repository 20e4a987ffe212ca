#include "search/ContentMatcher.h"

#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "search/ByteBuffer.h"
#include "search/ChunkReader.h"
#include "search/ChunkScanner.h"
#include "search/ChunkSearch.h"

namespace quillfen {

bool fileContentMatches(const std::string& path, std::int64_t size, const ContentCriteria& criteria,
                        const std::atomic<bool>& stopRequested) {
    const std::vector<const std::vector<std::string>*> pieceLists = criteria.enabledPieceLists();
    if (pieceLists.empty()) {
        return false;
    }
    const std::unique_ptr<platform::InputFile> file =
        platform::currentPlatform().files().openForContent(path);
    if (!file) {
        return false;
    }
    ChunkReader reader(*file, size, !criteria.matchCase);
    ChunkScanner scanner(pieceLists);
    ByteBuffer current;
    ByteBuffer following;
    if (!reader.readNext(current)) {
        return false;
    }
    const std::int64_t chunkCount = reader.chunkCount();
    for (std::int64_t chunk = 0; chunk < chunkCount; ++chunk) {
        if (stopRequested.load(std::memory_order_relaxed)) {
            return false;
        }
        const bool last = chunk + 1 == chunkCount;
        if (!last && !reader.readNext(following)) {
            return false;
        }
        const std::optional<std::string_view> next =
            last ? std::nullopt : std::optional<std::string_view>(following.view());
        if (scanner.scan(current.view(), next)) {
            return true;
        }
        std::swap(current, following);
    }
    return false;
}

}  // namespace quillfen
