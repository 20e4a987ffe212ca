#pragma once

#include <exception>
#include <string>

namespace quillfen {

// The one exception of the update path: every archive, entry, CRC and inflate failure of
// ZipReader. The caller ends the update silently, so the cause is for logs and tests.
class CZipException : public std::exception {
public:
    enum class Cause {
        Generic = 1,
        StreamEnd = 2,
        NeedDictionary = 3,
        FileError = 4,
        StreamError = 5,
        DataError = 6,
        OutOfMemory = 7,
        BufferError = 8,
        VersionError = 9,
        NoEntry = 10,
        BadArchive = 11,
        BadCrc = 12,
        // The archive file could not be opened; the only cause that names a path although the
        // reader never became open.
        CannotOpen = 13,
    };

    // The reader's own codes, beside zlib's return codes.
    static constexpr int kNoEntryCode = -102;
    static constexpr int kBadArchiveCode = -103;
    static constexpr int kBadCrcCode = -105;

    // `archivePath` is empty when the reader was not open.
    CZipException(Cause cause, std::string archivePath);

    // The cause for a zlib return code or one of the reader's own codes; Generic for anything else.
    static Cause causeOf(int code);

    Cause cause() const noexcept { return cause_; }
    const std::string& archivePath() const noexcept { return archivePath_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    Cause cause_;
    std::string archivePath_;
    std::string message_;
};

}  // namespace quillfen
