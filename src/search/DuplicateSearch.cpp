#include "search/DuplicateSearch.h"

#include <cstring>
#include <memory>

#include "platform/Platform.h"
#include "search/NamePattern.h"

namespace quillfen {

namespace {

constexpr std::int64_t kChunkBytes = 1 << 20;
constexpr std::size_t kWholeReadBlock = 32768;

// Reads a whole file; nullopt when it cannot be opened or read.
std::optional<std::string> readWhole(const std::string& path) {
    const auto file = platform::currentPlatform().files().openForContent(path);
    if (!file) {
        return std::nullopt;
    }
    std::string content;
    char block[kWholeReadBlock];
    for (;;) {
        const std::int64_t count = file->read(block, sizeof block);
        if (count < 0) {
            return std::nullopt;
        }
        if (count == 0) {
            return content;
        }
        content.append(block, static_cast<std::size_t>(count));
    }
}

// Fills the buffer as far as the file goes; -1 on a read error.
std::int64_t readChunk(platform::InputFile& file, char* buffer, std::int64_t size) {
    std::int64_t filled = 0;
    while (filled < size) {
        const std::int64_t count =
            file.read(buffer + filled, static_cast<std::size_t>(size - filled));
        if (count < 0) {
            return -1;
        }
        if (count == 0) {
            break;
        }
        filled += count;
    }
    return filled;
}

std::string withoutLastExtension(const std::string& name) {
    const auto point = name.rfind('.');
    return point == std::string::npos ? name : name.substr(0, point);
}

}  // namespace

DuplicateSearch::DuplicateSearch(const DuplicateRequest& request, SearchObserver& observer,
                                 const std::atomic<bool>& stopRequested, bool searchInRecycleBin)
    : request_(request),
      observer_(observer),
      stopRequested_(stopRequested),
      walk_(stopRequested, FolderWalk::Options{true, searchInRecycleBin}) {}

void DuplicateSearch::run() {
    walk_.walk(request_.folder, *this);
}

void DuplicateSearch::enterFolder(const std::string& folder) {
    observer_.searchingFolder(folder);
}

bool DuplicateSearch::passesNameRule(const std::string& foldedName) const {
    if (request_.wholeName) {
        return foldedName == request_.referenceName;
    }
    if (request_.matchExtension) {
        const std::string ending = "." + request_.referenceExtension;
        return foldedName.ends_with(ending);
    }
    if (request_.matchName) {
        return withoutLastExtension(foldedName) == request_.referenceName;
    }
    return true;
}

bool DuplicateSearch::wantsStatus(const platform::FolderEntry& entry) const {
    return !entry.isFolder && passesNameRule(foldName(entry.name));
}

void DuplicateSearch::visitEntry(const std::string& folder, const platform::FolderEntry& entry) {
    if (entry.isFolder || !passesNameRule(foldName(entry.name))) {
        return;
    }
    const std::string path = folder + entry.name;
    const platform::EntryStatus status =
        entry.status ? *entry.status : platform::currentPlatform().files().entryStatus(path);
    const std::int64_t size =
        status.kind == platform::EntryKind::Missing ? std::int64_t{-1} : status.size;
    if (request_.matchBody && size != request_.referenceSize) {
        return;
    }
    if (request_.matchTime && status.writeTime != request_.referenceTime) {
        return;
    }
    const bool isReference = status.kind != platform::EntryKind::Missing &&
                             status.device == request_.referenceDevice &&
                             status.inode == request_.referenceInode;
    if (isReference) {
        return;
    }
    if (request_.matchBody && !sameBody(path, size)) {
        return;
    }
    observer_.found(FoundEntry{entry.name, folder, size, status.writeTime});
}

bool DuplicateSearch::sameBody(const std::string& path, std::int64_t size) {
    return size <= kChunkBytes ? sameSmallBody(path) : sameLargeBody(path);
}

bool DuplicateSearch::sameSmallBody(const std::string& path) {
    if (!referenceContentRead_) {
        referenceContentRead_ = true;
        referenceContent_ = readWhole(request_.referencePath);
    }
    if (!referenceContent_) {
        return false;
    }
    // Compared block by block as it is read, so a candidate that differs early costs one block.
    const auto candidate = platform::currentPlatform().files().openForContent(path);
    if (!candidate) {
        return false;
    }
    const std::string& expected = *referenceContent_;
    char block[kWholeReadBlock];
    std::size_t compared = 0;
    for (;;) {
        const std::int64_t count = candidate->read(block, sizeof block);
        if (count <= 0) {
            return count == 0 && compared == expected.size();
        }
        const auto length = static_cast<std::size_t>(count);
        if (compared + length > expected.size() ||
            std::memcmp(block, expected.data() + compared, length) != 0) {
            return false;
        }
        compared += length;
    }
}

bool DuplicateSearch::sameLargeBody(const std::string& path) {
    observer_.comparingFile(path);
    platform::FileSystem& files = platform::currentPlatform().files();
    const auto reference = files.openForContent(request_.referencePath);
    const auto candidate = files.openForContent(path);
    if (!reference || !candidate) {
        return false;
    }
    const auto referenceChunk = std::make_unique<char[]>(kChunkBytes);
    const auto candidateChunk = std::make_unique<char[]>(kChunkBytes);
    for (;;) {
        const std::int64_t count = readChunk(*reference, referenceChunk.get(), kChunkBytes);
        if (count <= 0) {
            return count == 0 && readChunk(*candidate, candidateChunk.get(), 1) == 0;
        }
        if (readChunk(*candidate, candidateChunk.get(), count) != count ||
            std::memcmp(referenceChunk.get(), candidateChunk.get(),
                        static_cast<std::size_t>(count)) != 0 ||
            stopRequested_.load(std::memory_order_relaxed)) {
            return false;
        }
    }
}

}  // namespace quillfen
