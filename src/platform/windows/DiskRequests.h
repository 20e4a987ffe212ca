#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/DiskIdentity.h"

namespace quillfen::platform {

// The bytes of the disk identification device requests and the reading of their answers, apart
// from the device calls so that both can be checked against recorded answers. Layouts are those
// of the system's structures, byte-packed: SENDCMDINPARAMS (33 bytes), SENDCMDOUTPARAMS (16
// bytes before the data), SRB_IO_CONTROL (28 bytes), GETVERSIONINPARAMS and
// STORAGE_DEVICE_DESCRIPTOR.
namespace disk_requests {

constexpr std::uint8_t kIdentifyDevice = 0xEC;
constexpr std::uint8_t kIdentifyPacketDevice = 0xA1;

// SMART_GET_VERSION answers in 24 bytes.
constexpr std::size_t kVersionAnswerSize = 24;

// SMART_RCV_DRIVE_DATA as most drivers take it: the input without SENDCMDINPARAMS' one-byte
// buffer, the output without SENDCMDOUTPARAMS' one, plus the 512 bytes of identify data.
constexpr std::size_t kSmartInputSize = 32;
constexpr std::size_t kSmartOutputSize = 528;
// The same request with the whole structures, which some drivers insist on.
constexpr std::size_t kWholeSmartInputSize = 33;
constexpr std::size_t kWholeSmartOutputSize = 545;
constexpr std::size_t kSmartDataOffset = 16;

// IOCTL_SCSI_MINIPORT: SRB_IO_CONTROL followed by the SMART structures.
constexpr std::size_t kMiniportInputSize = 60;
constexpr std::size_t kMiniportOutputSize = 557;
constexpr std::size_t kMiniportDataOffset = 44;
constexpr std::uint32_t kMiniportTimeout = 10000;

constexpr std::size_t kDescriptorAnswerSize = 10000;

// The bit map of the IDE devices that SMART_GET_VERSION reports; 0 when the answer is short.
std::uint8_t ideDeviceMap(std::span<const std::uint8_t> versionAnswer);

// IDENTIFY PACKET DEVICE for a drive the map marks as an ATAPI device, else IDENTIFY DEVICE.
std::uint8_t identifyCommandFor(std::uint8_t deviceMap, int drive);

// SENDCMDINPARAMS for an identify command of the given drive number: 512 bytes wanted, one
// sector, sector number 1, the master or slave of its cable by the drive number's parity.
// `size` is the input size the request is sent with (32 or 33).
std::vector<std::uint8_t> smartIdentifyRequest(int drive, std::uint8_t command, std::size_t size);

// SRB_IO_CONTROL ("SCSIDISK", IOCTL_SCSI_MINIPORT_IDENTIFY) and an IDENTIFY DEVICE for drive 0
// or 1 of the controller.
std::vector<std::uint8_t> miniportIdentifyRequest(int drive, std::uint32_t controlCode);

// The 256 little-endian identify words at `offset` of an answer; nothing when the answer is
// too short to hold them.
std::optional<DiskIdentity::IdentifyWords> identifyWordsAt(std::span<const std::uint8_t> answer,
                                                           std::size_t offset);

// The identify words of a miniport answer; a controller without a drive there answers with an
// empty model field, which counts as no answer.
std::optional<DiskIdentity::IdentifyWords> miniportIdentifyWords(
    std::span<const std::uint8_t> answer);

// What a STORAGE_DEVICE_DESCRIPTOR says, its texts as stored (up to their zero byte).
struct StorageDescriptor {
    DiskIdentity::Texts texts;
    bool removableMedia = false;
    std::uint32_t busType = 0;

    // Not removable and on a bus inside the computer: not USB, FireWire, SD, MMC, iSCSI or a
    // virtual disk mounted from a file.
    bool isFixedDisk() const;
};

// Nothing when the answer is shorter than the descriptor's fixed part. Offsets of 0, or
// beyond the bytes received, give empty texts.
std::optional<StorageDescriptor> parseStorageDescriptor(std::span<const std::uint8_t> answer);

}  // namespace disk_requests

}  // namespace quillfen::platform
