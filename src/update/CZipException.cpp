#include "update/CZipException.h"

#include <zlib.h>

#include <utility>

namespace quillfen {

namespace {

const char* describe(CZipException::Cause cause) {
    using Cause = CZipException::Cause;
    switch (cause) {
        case Cause::StreamEnd:
            return "unexpected end of the deflate stream";
        case Cause::NeedDictionary:
            return "deflate stream needs a dictionary";
        case Cause::FileError:
            return "archive file could not be read";
        case Cause::StreamError:
            return "inflate stream error";
        case Cause::DataError:
            return "corrupt deflate data";
        case Cause::OutOfMemory:
            return "out of memory while inflating";
        case Cause::BufferError:
            return "deflate data cut short";
        case Cause::VersionError:
            return "incompatible zlib version";
        case Cause::NoEntry:
            return "no current entry or no entry open";
        case Cause::BadArchive:
            return "not a valid zip archive or entry";
        case Cause::BadCrc:
            return "CRC mismatch";
        case Cause::CannotOpen:
            return "archive could not be opened";
        case Cause::Generic:
            break;
    }
    return "zip archive error";
}

}  // namespace

CZipException::CZipException(Cause cause, std::string archivePath)
    : cause_(cause), archivePath_(std::move(archivePath)) {
    message_ = std::string("zip error ") + std::to_string(static_cast<int>(cause)) + ": " +
               describe(cause) + (archivePath_.empty() ? "" : " in " + archivePath_);
}

CZipException::Cause CZipException::causeOf(int code) {
    switch (code) {
        case Z_STREAM_END:
            return Cause::StreamEnd;
        case Z_NEED_DICT:
            return Cause::NeedDictionary;
        case Z_ERRNO:
            return Cause::FileError;
        case Z_STREAM_ERROR:
            return Cause::StreamError;
        case Z_DATA_ERROR:
            return Cause::DataError;
        case Z_MEM_ERROR:
            return Cause::OutOfMemory;
        case Z_BUF_ERROR:
            return Cause::BufferError;
        case Z_VERSION_ERROR:
            return Cause::VersionError;
        case kNoEntryCode:
            return Cause::NoEntry;
        case kBadArchiveCode:
            return Cause::BadArchive;
        case kBadCrcCode:
            return Cause::BadCrc;
        default:
            return Cause::Generic;
    }
}

}  // namespace quillfen
