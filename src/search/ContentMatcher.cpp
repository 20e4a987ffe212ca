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

namespace {

const CodePageFolding kAsciiFolding;

// One copy of the file's chunks, folded by one rule, and the forms searched in it.
struct FoldedCopy {
    const CodePageFolding* folding = nullptr;
    std::vector<const std::vector<std::string>*> pieceLists;
};

// All forms share the chunks as read, or folded by the ASCII rule; only an ANSI form whose code
// page folds further, searched together with another form, needs a copy of its own.
std::vector<FoldedCopy> foldedCopies(const ContentCriteria& criteria) {
    std::vector<const std::vector<std::string>*> lists = criteria.enabledPieceLists();
    if (lists.empty()) {
        return {};
    }
    if (criteria.matchCase) {
        return {{nullptr, lists}};
    }
    if (!criteria.ansiOn || criteria.ansiFolding.foldsAsciiOnly()) {
        return {{&kAsciiFolding, lists}};
    }
    const std::vector<const std::vector<std::string>*> ansi(lists.begin(), lists.begin() + 1);
    const std::vector<const std::vector<std::string>*> others(lists.begin() + 1, lists.end());
    if (others.empty()) {
        return {{&criteria.ansiFolding, ansi}};
    }
    return {{&criteria.ansiFolding, ansi}, {&kAsciiFolding, others}};
}

// The current and following chunk of one folded copy, searched by its own scanner.
struct CopyScan {
    CopyScan(const FoldedCopy& copy, const std::atomic<bool>& stopRequested)
        : folding(copy.folding), scanner(copy.pieceLists, kContentChunkSize, &stopRequested) {}

    const CodePageFolding* folding;
    ChunkScanner scanner;
    ByteBuffer current;
    ByteBuffer following;
    bool afterLeadByte = false;
};

// Reads the next chunk into the `following` buffer of every copy. With one copy the reader folds
// while it reads; with two, the other copy is folded from the bytes as read, which are then
// folded in place.
bool readFollowing(ChunkReader& reader, std::vector<std::unique_ptr<CopyScan>>& scans) {
    if (scans.size() == 1) {
        return reader.readNext(scans.front()->following);
    }
    ByteBuffer& read = scans.back()->following;
    if (!reader.readNext(read)) {
        return false;
    }
    const auto length = static_cast<std::size_t>(read.length());
    for (const std::unique_ptr<CopyScan>& scan : scans) {
        ByteBuffer& chunk = scan->following;
        if (&chunk == &read) {
            scan->folding->fold(chunk.data(), length, scan->afterLeadByte);
        } else if (chunk.setLength(read.length()) < 0) {
            return false;
        } else {
            scan->folding->foldInto(read.data(), chunk.data(), length, scan->afterLeadByte);
        }
    }
    return true;
}

}  // namespace

bool fileContentMatches(const std::string& path, std::int64_t size, const ContentCriteria& criteria,
                        const std::atomic<bool>& stopRequested, std::string* failure) {
    const std::vector<FoldedCopy> copies = foldedCopies(criteria);
    if (copies.empty()) {
        return false;
    }
    const std::unique_ptr<platform::InputFile> file =
        platform::currentPlatform().files().openForContent(path, failure);
    if (!file) {
        return false;
    }
    ChunkReader reader(*file, size, copies.size() == 1 ? copies.front().folding : nullptr);
    std::vector<std::unique_ptr<CopyScan>> scans;
    for (const FoldedCopy& copy : copies) {
        scans.push_back(std::make_unique<CopyScan>(copy, stopRequested));
    }
    if (!readFollowing(reader, scans)) {
        return false;
    }
    const std::int64_t chunkCount = reader.chunkCount();
    for (std::int64_t chunk = 0; chunk < chunkCount; ++chunk) {
        for (const std::unique_ptr<CopyScan>& scan : scans) {
            std::swap(scan->current, scan->following);
        }
        if (stopRequested.load(std::memory_order_relaxed)) {
            return false;
        }
        const bool last = chunk + 1 == chunkCount;
        if (!last && !readFollowing(reader, scans)) {
            return false;
        }
        for (const std::unique_ptr<CopyScan>& scan : scans) {
            const std::optional<std::string_view> next =
                last ? std::nullopt : std::optional<std::string_view>(scan->following.view());
            if (scan->scanner.scan(scan->current.view(), next)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace quillfen
