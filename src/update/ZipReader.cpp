#include "update/ZipReader.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "platform/Platform.h"

namespace quillfen {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kCentralRecordSize = 46;
constexpr std::size_t kLocalHeaderSize = 30;

// The end record is followed at most by a comment of up to 65,535 bytes. The windows overlap by
// the signature's length less one byte so that a signature across a window edge is still seen.
constexpr std::uint64_t kEndSearchLimit = 65535;
constexpr std::uint64_t kEndSearchStep = 1024;
constexpr std::size_t kEndSearchWindow = 1028;

constexpr std::size_t kInputBufferSize = 16384;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kDataDescriptorFlag = 0x0008;

constexpr int kNoEntry = CZipException::kNoEntryCode;
constexpr int kBadArchive = CZipException::kBadArchiveCode;
constexpr int kBadCrc = CZipException::kBadCrcCode;

// Reads little-endian fields one after the other out of a record already in memory.
struct FieldCursor {
    const unsigned char* at;

    std::uint16_t u16() {
        const auto value = static_cast<std::uint16_t>(at[0] | (at[1] << 8));
        at += 2;
        return value;
    }
    std::uint32_t u32() {
        const std::uint32_t low = u16();
        return low | (static_cast<std::uint32_t>(u16()) << 16);
    }
};

std::uint64_t recordSize(const ZipEntryInfo& info) {
    return kCentralRecordSize + std::uint64_t{info.nameLength} + info.extraLength +
           info.commentLength;
}

}  // namespace

struct ZipReader::CentralRecord {
    ZipEntryInfo info;
    std::uint32_t localHeaderOffset = 0;
};

// zlib's inflate state points back at its z_stream, so the state lives on the heap and never
// moves; inflateEnd in the destructor frees zlib's blocks whichever way the entry ends.
struct ZipReader::OpenEntry {
    OpenEntry() = default;
    OpenEntry(const OpenEntry&) = delete;
    OpenEntry& operator=(const OpenEntry&) = delete;
    ~OpenEntry() {
        if (inflating) {
            ::inflateEnd(&stream);
        }
    }

    std::array<unsigned char, kInputBufferSize> input{};
    // Also the cursor into `input` for stored entries.
    z_stream stream{};
    bool deflated = false;
    bool inflating = false;
    bool streamEnded = false;
    std::uint32_t crc = 0;
    std::uint32_t expectedCrc = 0;
    std::uint64_t remainingCompressed = 0;
    std::uint64_t remainingUncompressed = 0;
    std::uint64_t dataPosition = 0;
};

ZipReader::ZipReader() = default;

ZipReader::ZipReader(const std::string& path) {
    open(path);
}

ZipReader::~ZipReader() = default;

void ZipReader::open(const std::string& path) {
    if (isOpen()) {
        return;
    }
    file_ = platform::currentPlatform().files().openForRandomAccess(path);
    if (file_ == nullptr) {
        throw CZipException(CZipException::Cause::CannotOpen, path);
    }
    path_ = path;
    try {
        const std::int64_t size = file_->size();
        fileSize_ = size > 0 ? static_cast<std::uint64_t>(size) : 0;
        readEndRecord();
        goToFirstEntry();
    } catch (...) {
        releaseFile();
        throw;
    }
}

void ZipReader::close() {
    if (!isOpen()) {
        return;
    }
    struct FileRelease {
        ZipReader& reader;
        ~FileRelease() { reader.releaseFile(); }
    } release{*this};
    closeEntry();
}

void ZipReader::releaseFile() {
    entry_.reset();
    file_.reset();
    path_.clear();
    fileSize_ = 0;
    bytesBefore_ = 0;
    centralSize_ = 0;
    centralOffset_ = 0;
    entryCount_ = 0;
    hasCurrent_ = false;
    centralPos_ = 0;
    currentIndex_ = 0;
    current_ = ZipEntryInfo{};
    localHeaderOffset_ = 0;
}

void ZipReader::raise(int code) const {
    throw CZipException(CZipException::causeOf(code), path_);
}

void ZipReader::requireEntry() const {
    if (!hasCurrent_) {
        raise(kNoEntry);
    }
}

void ZipReader::readExactly(std::uint64_t position, void* buffer, std::size_t count) const {
    auto* bytes = static_cast<char*>(buffer);
    for (std::size_t done = 0; done < count;) {
        const std::int64_t got = file_->readAt(position + done, bytes + done, count - done);
        // Every range was checked against the file's size, so a short read means the file changed
        // or the disk failed; retrying could spin forever.
        if (got <= 0) {
            raise(Z_ERRNO);
        }
        done += static_cast<std::size_t>(got);
    }
}

std::uint64_t ZipReader::findEndRecord() const {
    const std::uint64_t limit = std::min(fileSize_, kEndSearchLimit);
    std::array<unsigned char, kEndSearchWindow> window{};
    for (std::uint64_t back = 0; back < limit;) {
        back = std::min(back + kEndSearchStep, limit);
        const std::uint64_t start = fileSize_ - back;
        const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(window.size(), back));
        readExactly(start, window.data(), size);
        for (std::size_t at = size >= 4 ? size - 3 : 0; at-- > 0;) {
            if (FieldCursor{window.data() + at}.u32() == kEndSignature) {
                return start + at;
            }
        }
    }
    raise(kBadArchive);
}

void ZipReader::readEndRecord() {
    const std::uint64_t end = findEndRecord();
    if (end + kEndRecordSize > fileSize_) {
        raise(kBadArchive);
    }
    std::array<unsigned char, kEndRecordSize> record{};
    readExactly(end, record.data(), record.size());
    FieldCursor fields{record.data() + 4};
    const std::uint16_t disk = fields.u16();
    const std::uint16_t centralDisk = fields.u16();
    const std::uint16_t entriesOnDisk = fields.u16();
    entryCount_ = fields.u16();
    centralSize_ = fields.u32();
    centralOffset_ = fields.u32();
    const std::uint16_t commentLength = fields.u16();
    const std::uint64_t centralEnd = std::uint64_t{centralOffset_} + centralSize_;
    if (disk != 0 || centralDisk != 0 || entriesOnDisk != entryCount_ ||
        end + kEndRecordSize + commentLength > fileSize_ || centralEnd > end) {
        raise(kBadArchive);
    }
    bytesBefore_ = end - centralEnd;
}

void ZipReader::goToFirstEntry() {
    if (!isOpen()) {
        raise(kNoEntry);
    }
    makeCurrent(centralOffset_, 0);
}

bool ZipReader::goToNextEntry() {
    requireEntry();
    if (currentIndex_ + 1 >= entryCount_) {
        return false;
    }
    makeCurrent(centralPos_ + recordSize(current_), currentIndex_ + 1);
    return true;
}

void ZipReader::makeCurrent(std::uint64_t centralPos, std::uint32_t index) {
    const CentralRecord record = readCentralRecord(centralPos);
    centralPos_ = centralPos;
    currentIndex_ = index;
    current_ = record.info;
    localHeaderOffset_ = record.localHeaderOffset;
    hasCurrent_ = true;
}

ZipReader::CentralRecord ZipReader::readCentralRecord(std::uint64_t centralPos) const {
    const std::uint64_t start = bytesBefore_ + centralPos;
    const std::uint64_t centralEnd = bytesBefore_ + centralOffset_ + centralSize_;
    if (start + kCentralRecordSize > centralEnd) {
        raise(kBadArchive);
    }
    std::array<unsigned char, kCentralRecordSize> raw{};
    readExactly(start, raw.data(), raw.size());
    FieldCursor fields{raw.data()};
    if (fields.u32() != kCentralSignature) {
        raise(kBadArchive);
    }
    CentralRecord record;
    ZipEntryInfo& info = record.info;
    info.versionMadeBy = fields.u16();
    info.versionNeeded = fields.u16();
    info.flags = fields.u16();
    info.method = fields.u16();
    info.dosDateTime = fields.u32();
    info.crc32 = fields.u32();
    info.compressedSize = fields.u32();
    info.uncompressedSize = fields.u32();
    info.nameLength = fields.u16();
    info.extraLength = fields.u16();
    info.commentLength = fields.u16();
    info.diskNumberStart = fields.u16();
    info.internalAttributes = fields.u16();
    info.externalAttributes = fields.u32();
    record.localHeaderOffset = fields.u32();
    const std::uint64_t localEnd = bytesBefore_ + record.localHeaderOffset + kLocalHeaderSize +
                                   info.nameLength + info.compressedSize;
    if (start + recordSize(info) > centralEnd || localEnd > fileSize_) {
        raise(kBadArchive);
    }
    return record;
}

void ZipReader::entryInfo(ZipEntryInfo* info, char* name, std::size_t nameSize, char* extra,
                          std::size_t extraSize, char* comment, std::size_t commentSize) {
    requireEntry();
    const CentralRecord record = readCentralRecord(centralPos_);
    if (info != nullptr) {
        *info = record.info;
    }
    std::uint64_t position = bytesBefore_ + centralPos_ + kCentralRecordSize;
    copyField(position, record.info.nameLength, {name, name != nullptr ? nameSize : 0});
    position += record.info.nameLength;
    copyField(position, record.info.extraLength, {extra, extra != nullptr ? extraSize : 0});
    position += record.info.extraLength;
    copyField(position, record.info.commentLength, {comment, comment != nullptr ? commentSize : 0});
}

void ZipReader::copyField(std::uint64_t position, std::uint16_t length,
                          std::span<char> buffer) const {
    const std::size_t count = std::min<std::size_t>(length, buffer.size());
    readExactly(position, buffer.data(), count);
    if (length < buffer.size()) {
        buffer[length] = '\0';
    }
}

std::uint64_t ZipReader::checkLocalHeader() const {
    const std::uint64_t start = bytesBefore_ + localHeaderOffset_;
    if (start + kLocalHeaderSize > fileSize_) {
        raise(kBadArchive);
    }
    std::array<unsigned char, kLocalHeaderSize> raw{};
    readExactly(start, raw.data(), raw.size());
    FieldCursor fields{raw.data()};
    const std::uint32_t signature = fields.u32();
    fields.u16();
    const std::uint16_t flags = fields.u16();
    const std::uint16_t method = fields.u16();
    fields.u32();
    const std::uint32_t crc = fields.u32();
    const std::uint32_t compressedSize = fields.u32();
    const std::uint32_t uncompressedSize = fields.u32();
    const std::uint16_t nameLength = fields.u16();
    const std::uint16_t extraLength = fields.u16();
    const bool sizesDeferred = (flags & kDataDescriptorFlag) != 0;
    const bool sizesMatch = crc == current_.crc32 && compressedSize == current_.compressedSize &&
                            uncompressedSize == current_.uncompressedSize;
    const std::uint64_t dataStart = start + kLocalHeaderSize + nameLength + extraLength;
    // A stored entry whose sizes differ would run out of input with room left to fill.
    const bool storedSizesEqual =
        method != kStored || current_.compressedSize == current_.uncompressedSize;
    if (signature != kLocalSignature || method != current_.method ||
        (method != kStored && method != kDeflated) || (!sizesDeferred && !sizesMatch) ||
        nameLength != current_.nameLength || dataStart + current_.compressedSize > fileSize_ ||
        !storedSizesEqual) {
        raise(kBadArchive);
    }
    return dataStart;
}

void ZipReader::openEntry() {
    requireEntry();
    closeEntry();
    const std::uint64_t dataStart = checkLocalHeader();
    auto entry = std::make_unique<OpenEntry>();
    entry->deflated = current_.method == kDeflated;
    entry->expectedCrc = current_.crc32;
    entry->remainingCompressed = current_.compressedSize;
    entry->remainingUncompressed = current_.uncompressedSize;
    entry->dataPosition = dataStart;
    if (entry->deflated) {
        const int result = ::inflateInit2(&entry->stream, -MAX_WBITS);
        if (result != Z_OK) {
            raise(result);
        }
        entry->inflating = true;
    }
    entry_ = std::move(entry);
}

std::size_t ZipReader::readEntry(char* buffer, std::size_t count) {
    if (entry_ == nullptr) {
        raise(kNoEntry);
    }
    if (buffer == nullptr || count == 0) {
        return 0;
    }
    OpenEntry& entry = *entry_;
    const auto room =
        static_cast<std::size_t>(std::min<std::uint64_t>(count, entry.remainingUncompressed));
    auto* out = reinterpret_cast<unsigned char*>(buffer);
    const std::size_t delivered =
        entry.deflated ? inflateInto(entry, out, room) : copyStored(entry, out, room);
    if (entry.deflated && entry.remainingUncompressed == 0) {
        requireStreamEnd(entry);
    }
    return delivered;
}

void ZipReader::refillInput(OpenEntry& entry) const {
    if (entry.stream.avail_in > 0 || entry.remainingCompressed == 0) {
        return;
    }
    const auto count = static_cast<std::size_t>(
        std::min<std::uint64_t>(entry.remainingCompressed, kInputBufferSize));
    readExactly(entry.dataPosition, entry.input.data(), count);
    entry.dataPosition += count;
    entry.remainingCompressed -= count;
    entry.stream.next_in = entry.input.data();
    entry.stream.avail_in = static_cast<uInt>(count);
}

void ZipReader::account(OpenEntry& entry, const unsigned char* data, std::size_t count) const {
    entry.crc = static_cast<std::uint32_t>(::crc32(entry.crc, data, static_cast<uInt>(count)));
    entry.remainingUncompressed -= count;
}

std::size_t ZipReader::copyStored(OpenEntry& entry, unsigned char* out, std::size_t count) const {
    for (std::size_t done = 0; done < count;) {
        refillInput(entry);
        const std::size_t piece = std::min<std::size_t>(count - done, entry.stream.avail_in);
        if (piece == 0) {
            raise(kBadArchive);
        }
        std::memcpy(out + done, entry.stream.next_in, piece);
        entry.stream.next_in += piece;
        entry.stream.avail_in -= static_cast<uInt>(piece);
        account(entry, out + done, piece);
        done += piece;
    }
    return count;
}

std::size_t ZipReader::inflateInto(OpenEntry& entry, unsigned char* out, std::size_t count) const {
    entry.stream.next_out = out;
    entry.stream.avail_out = static_cast<uInt>(count);
    while (entry.stream.avail_out > 0 && !entry.streamEnded) {
        refillInput(entry);
        const uInt inputBefore = entry.stream.avail_in;
        const uInt roomBefore = entry.stream.avail_out;
        unsigned char* const produced = entry.stream.next_out;
        const int result = ::inflate(&entry.stream, Z_SYNC_FLUSH);
        account(entry, produced, roomBefore - entry.stream.avail_out);
        const bool progressed =
            inputBefore != entry.stream.avail_in || roomBefore != entry.stream.avail_out;
        if (result == Z_STREAM_END) {
            entry.streamEnded = true;
        } else if (result != Z_OK && result != Z_NEED_DICT) {
            raise(result);
        } else if (!progressed) {
            raise(Z_BUF_ERROR);
        }
    }
    // The sizes in the records are what the CRC check relies on; a stream that ends early proves
    // them wrong even when the CRC of the short data happens to match.
    if (entry.streamEnded && entry.remainingUncompressed > 0) {
        raise(kBadArchive);
    }
    return count - entry.stream.avail_out;
}

void ZipReader::requireStreamEnd(OpenEntry& entry) const {
    // zlib may stop at a full output buffer before it has seen the final block's end, so the end
    // is sought with room for one byte: any byte that comes out lies beyond the stated size.
    unsigned char beyond = 0;
    while (!entry.streamEnded) {
        refillInput(entry);
        const uInt inputBefore = entry.stream.avail_in;
        entry.stream.next_out = &beyond;
        entry.stream.avail_out = 1;
        const int result = ::inflate(&entry.stream, Z_SYNC_FLUSH);
        if (entry.stream.avail_out == 0) {
            raise(kBadArchive);
        }
        if (result == Z_STREAM_END) {
            entry.streamEnded = true;
        } else if (result != Z_OK && result != Z_NEED_DICT) {
            raise(result);
        } else if (inputBefore == entry.stream.avail_in) {
            raise(Z_BUF_ERROR);
        }
    }
}

void ZipReader::closeEntry() {
    if (entry_ == nullptr) {
        return;
    }
    const std::unique_ptr<OpenEntry> entry = std::move(entry_);
    if (entry->remainingUncompressed != 0) {
        return;
    }
    if (entry->deflated) {
        requireStreamEnd(*entry);
    }
    if (entry->crc != entry->expectedCrc) {
        raise(kBadCrc);
    }
}

bool ZipReader::restoreEntryStatus(const std::string& extractedPath, const ZipEntryInfo& info) {
    platform::Platform& system = platform::currentPlatform();
    const platform::FileTime time = system.clock().fromLocalTime(info.modifiedTime());
    bool restored = time != 0 && system.files().setWriteTime(extractedPath, time);
    return system.files().restoreAccess(extractedPath, info.recordedAccess()) && restored;
}

}  // namespace quillfen
