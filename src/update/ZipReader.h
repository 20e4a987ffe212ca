#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/RandomAccessFile.h"
#include "update/CZipException.h"
#include "update/ZipEntryInfo.h"

namespace quillfen {

// Reads the entries of a zip archive, stored or deflated, checking each local header against its
// central record and each fully read entry against its CRC-32. Everything the archive states is
// checked against the file before it is used, so a damaged or hostile archive ends in a
// CZipException rather than a read outside the file or a loop. ZIP64, encryption and split
// archives are not read. Every failure throws CZipException; the reader stays usable for close()
// and destruction afterwards.
class ZipReader {
public:
    ZipReader();
    // Opens at once; see open().
    explicit ZipReader(const std::string& path);
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;
    // Drops an open entry unchecked and closes the file.
    ~ZipReader();

    // Opens the archive and makes its first entry current. A file that cannot be opened throws
    // Cause::CannotOpen carrying the path; an archive without entries is refused like a damaged
    // one. A reader that is already open is left as it is.
    void open(const std::string& path);
    bool isOpen() const { return file_ != nullptr; }
    // Closes an open entry, with its CRC check, then the file; the file is closed even when the
    // check throws.
    void close();

    // Number of bytes in front of the archive proper, such as a self-extractor's program.
    std::uint64_t bytesBefore() const { return bytesBefore_; }

    void goToFirstEntry();
    // Makes the next central record current; false, with the current entry kept, after the last.
    bool goToNextEntry();

    // Reads the current central record again and fills what is asked for. Each buffer gets as much
    // of its field as fits, and a terminating zero only when the field is shorter than the buffer.
    // Null buffers are skipped.
    void entryInfo(ZipEntryInfo* info, char* name = nullptr, std::size_t nameSize = 0,
                   char* extra = nullptr, std::size_t extraSize = 0, char* comment = nullptr,
                   std::size_t commentSize = 0);

    // Closes an entry that is still open, then checks the current entry's local header.
    void openEntry();
    // Delivers up to `count` bytes of the open entry; fewer only at its end. 0 for a missing
    // buffer or a count of 0. Deflate data that end before the stated uncompressed size or would
    // go beyond it throw Cause::BadArchive; data cut short throw Cause::BufferError, as zlib
    // reports them; a failing read of the file throws Cause::FileError.
    std::size_t readEntry(char* buffer, std::size_t count);
    // Checks the CRC when the entry was read to its end and drops it; nothing when none is open.
    void closeEntry();

    // Gives an extracted file, already closed, the entry's time as its last-write time and, for
    // entries made on Unix, the entry's permission bits. False when a change could not be made.
    static bool restoreEntryStatus(const std::string& extractedPath, const ZipEntryInfo& info);

private:
    struct OpenEntry;
    struct CentralRecord;

    [[noreturn]] void raise(int code) const;
    void requireEntry() const;
    void readExactly(std::uint64_t position, void* buffer, std::size_t count) const;
    std::uint64_t findEndRecord() const;
    void readEndRecord();
    CentralRecord readCentralRecord(std::uint64_t centralPos) const;
    void copyField(std::uint64_t position, std::uint16_t length, std::span<char> buffer) const;
    void makeCurrent(std::uint64_t centralPos, std::uint32_t index);
    std::uint64_t checkLocalHeader() const;
    void refillInput(OpenEntry& entry) const;
    void account(OpenEntry& entry, const unsigned char* data, std::size_t count) const;
    std::size_t copyStored(OpenEntry& entry, unsigned char* out, std::size_t count) const;
    std::size_t inflateInto(OpenEntry& entry, unsigned char* out, std::size_t count) const;
    void requireStreamEnd(OpenEntry& entry) const;
    void releaseFile();

    std::unique_ptr<platform::RandomAccessFile> file_;
    std::string path_;
    std::uint64_t fileSize_ = 0;
    std::uint64_t bytesBefore_ = 0;
    std::uint32_t centralSize_ = 0;
    std::uint32_t centralOffset_ = 0;
    std::uint16_t entryCount_ = 0;

    bool hasCurrent_ = false;
    std::uint64_t centralPos_ = 0;
    std::uint32_t currentIndex_ = 0;
    ZipEntryInfo current_;
    std::uint32_t localHeaderOffset_ = 0;

    std::unique_ptr<OpenEntry> entry_;
};

}  // namespace quillfen
