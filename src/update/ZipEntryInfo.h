#pragma once

#include <cstdint>

#include <optional>

#include "platform/ArchivedAccess.h"
#include "platform/FileTime.h"

namespace quillfen {

// One entry as its central-directory record describes it. Widths are those of the archive.
struct ZipEntryInfo {
    std::uint16_t versionMadeBy = 0;
    std::uint16_t versionNeeded = 0;
    // Only bit 3 matters here: the local header's CRC and sizes may be zero, the central ones
    // count.
    std::uint16_t flags = 0;
    // 0 stored, 8 deflated; nothing else can be read.
    std::uint16_t method = 0;
    // MS-DOS local time: time in the low 16 bits, date in the high 16 bits.
    std::uint32_t dosDateTime = 0;
    std::uint32_t crc32 = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t uncompressedSize = 0;
    std::uint16_t nameLength = 0;
    std::uint16_t extraLength = 0;
    std::uint16_t commentLength = 0;
    std::uint16_t diskNumberStart = 0;
    std::uint16_t internalAttributes = 0;
    // Made on Unix: the mode bits in the high 16 bits; otherwise the maker's own attributes.
    std::uint32_t externalAttributes = 0;

    static constexpr std::uint8_t kMadeOnUnix = 3;

    bool madeOnUnix() const { return (versionMadeBy >> 8) == kMadeOnUnix; }

    // Some writers mark entries as made on Unix yet leave the mode at zero; applying that would
    // lock the owner out of the extracted program, so such an entry records nothing.
    platform::ArchivedAccess recordedAccess() const {
        constexpr std::uint32_t kDosReadOnly = 0x01;
        platform::ArchivedAccess access;
        const std::uint32_t mode = (externalAttributes >> 16) & 0777;
        if (madeOnUnix()) {
            access.unixMode = mode != 0 ? std::optional<std::uint32_t>(mode) : std::nullopt;
        } else {
            access.readOnly = (externalAttributes & kDosReadOnly) != 0;
        }
        return access;
    }

    // DOS times have two-second steps and no time zone; the writer's local clock is assumed.
    platform::LocalTime modifiedTime() const {
        const std::uint32_t time = dosDateTime & 0xFFFF;
        const std::uint32_t date = dosDateTime >> 16;
        return platform::LocalTime{
            static_cast<int>((date >> 9) + 1980), static_cast<int>((date >> 5) & 0x0F),
            static_cast<int>(date & 0x1F),        static_cast<int>(time >> 11),
            static_cast<int>((time >> 5) & 0x3F), static_cast<int>((time & 0x1F) * 2)};
    }
};

}  // namespace quillfen
