#include "search/DuplicateSearch.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

#include "platform/Platform.h"
#include "search/NamePattern.h"

namespace quillfen {

namespace {

constexpr std::int64_t kChunkBytes = 1 << 20;
constexpr std::size_t kWholeReadBlock = 32768;

// Reads a whole file, following a link to it as the user who named it expects; nullopt when it
// cannot be opened or read.
std::optional<std::string> readWhole(const std::string& path) {
    const auto file = platform::currentPlatform().files().openForRandomAccess(path);
    if (!file) {
        return std::nullopt;
    }
    std::string content;
    char block[kWholeReadBlock];
    for (;;) {
        const std::int64_t count = file->readAt(content.size(), block, sizeof block);
        if (count < 0) {
            return std::nullopt;
        }
        if (count == 0) {
            return content;
        }
        content.append(block, static_cast<std::size_t>(count));
    }
}

// Bytes compared first at each end of a body: files that differ mostly differ near one end (a
// header, a trailer, appended data), and two small reads settle those.
constexpr std::int64_t kEndBlock = 4096;
// Bytes read at a time between the ends.
constexpr std::int64_t kMiddleBlock = 256 * 1024;

// Reads `count` bytes at `offset`, however many reads it takes; false if the file ends first
// or a read fails.
bool readExactly(platform::RandomAccessFile& file, std::int64_t offset, char* buffer,
                 std::int64_t count) {
    while (count > 0) {
        const std::int64_t read = file.readAt(static_cast<std::uint64_t>(offset), buffer,
                                              static_cast<std::size_t>(count));
        if (read <= 0) {
            return false;
        }
        offset += read;
        buffer += read;
        count -= read;
    }
    return true;
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
    run([this](FolderVisitor& visitor) { walk_.walk(request_.folder, visitor); });
}

void DuplicateSearch::run(const std::function<void(FolderVisitor&)>& recordedWalk) {
    if (!request_.matchBody) {
        recordedWalk(*this);
        return;
    }
    // Small candidates are compared with the reference's content in memory, read once here so
    // that every worker can share it.
    if (request_.referenceSize <= kChunkBytes) {
        referenceContent_ = readWhole(request_.referencePath);
    }
    OrderedFileTests tests(
        [this](const std::string& path, std::int64_t size) { return sameBody(path, size); },
        [this](FoundEntry&& entry) { observer_.found(entry); });
    bodyTests_ = &tests;
    recordedWalk(*this);
    tests.finish();
    bodyTests_ = nullptr;
}

void DuplicateSearch::enterFolder(const std::string& folder) {
    observer_.lookedAt(filesLookedAt_);
    observer_.searchingFolder(folder);
}

void DuplicateSearch::folderUnreadable(const std::string& folder, const std::string& reason) {
    observer_.skipped(folder, reason);
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

// A listing that does not tell identities leaves the question to a lookup, made only for the few
// entries that got this far.
bool DuplicateSearch::isReference(const std::string& path,
                                  const platform::EntryStatus& status) const {
    if (status.kind == platform::EntryKind::Missing) {
        return false;
    }
    const std::optional<platform::FileIdentity> identity =
        status.identity ? status.identity
                        : platform::currentPlatform().files().entryStatus(path).identity;
    return identity && (identity == request_.reference || identity == request_.named);
}

bool DuplicateSearch::wantsStatus(const platform::FolderEntry& entry) const {
    return !entry.isFolder && passesNameRule(foldName(entry.name));
}

void DuplicateSearch::visitEntry(const std::string& folder, const platform::FolderEntry& entry) {
    if (!entry.isFolder) {
        ++filesLookedAt_;
    }
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
    if (isReference(path, status)) {
        return;
    }
    FoundEntry row{entry.name, folder, size, status.writeTime};
    if (!request_.matchBody) {
        observer_.found(row);
        return;
    }
    // Only a regular file has a body; a link is not followed to one.
    if (status.kind == platform::EntryKind::File) {
        if (size > kChunkBytes) {
            observer_.comparingFile(path);
        }
        bodyTests_->submit(std::move(row), path);
    }
}

// Both bodies are compared in the same order: the first block, the last block, then the rest.
// Runs on the workers of the body tests.
bool DuplicateSearch::sameBody(const std::string& path, std::int64_t size) const {
    platform::FileSystem& files = platform::currentPlatform().files();
    const auto candidate = files.openForRandomAccess(path);
    if (!candidate || candidate->size() != size) {
        return false;
    }
    ReferenceBytes referenceBytes;
    std::unique_ptr<platform::RandomAccessFile> reference;
    std::unique_ptr<char[]> referenceBuffer;
    if (size <= kChunkBytes) {
        if (!referenceContent_ || static_cast<std::int64_t>(referenceContent_->size()) != size) {
            return false;
        }
        referenceBytes = [this](std::int64_t offset, std::int64_t) {
            return referenceContent_->data() + offset;
        };
    } else {
        reference = files.openForRandomAccess(request_.referencePath);
        if (!reference || reference->size() != size) {
            return false;
        }
        referenceBuffer = newBlock(size);
        referenceBytes = [&reference, &referenceBuffer](std::int64_t offset, std::int64_t count) {
            char* buffer = referenceBuffer.get();
            return readExactly(*reference, offset, buffer, count) ? buffer : nullptr;
        };
    }
    const std::int64_t head = std::min(size, kEndBlock);
    const std::int64_t tail = std::max(head, size - kEndBlock);
    // Buffers are per comparison, sized to the file: a thread-local with a destructor corrupts
    // the heap when a worker ends under MinGW's emulated thread storage.
    const std::unique_ptr<char[]> block = newBlock(size);
    return sameRange(*candidate, 0, head, referenceBytes, block.get()) &&
           sameRange(*candidate, tail, size, referenceBytes, block.get()) &&
           sameRange(*candidate, head, tail, referenceBytes, block.get());
}

bool DuplicateSearch::sameRange(platform::RandomAccessFile& candidate, std::int64_t begin,
                                std::int64_t end, const ReferenceBytes& referenceBytes,
                                char* buffer) const {
    for (std::int64_t offset = begin; offset < end; offset += kMiddleBlock) {
        const std::int64_t count = std::min(kMiddleBlock, end - offset);
        if (stopRequested_.load(std::memory_order_relaxed) ||
            !readExactly(candidate, offset, buffer, count)) {
            return false;
        }
        const char* expected = referenceBytes(offset, count);
        if (expected == nullptr ||
            std::memcmp(buffer, expected, static_cast<std::size_t>(count)) != 0) {
            return false;
        }
    }
    return true;
}

std::unique_ptr<char[]> DuplicateSearch::newBlock(std::int64_t fileSize) {
    return std::make_unique_for_overwrite<char[]>(
        static_cast<std::size_t>(std::min(fileSize, kMiddleBlock)));
}

}  // namespace quillfen
