#include "platform/windows/DiskRequests.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace quillfen::platform::disk_requests {

namespace {

constexpr std::size_t kIdentifyBytes = 512;
constexpr std::size_t kIdeDeviceMapOffset = 3;
// Within the identify data: the first byte of the model number, words 27 to 46.
constexpr std::size_t kModelOffset = 54;

// SENDCMDINPARAMS: cBufferSize, then IDEREGS (features, sector count, sector number, cylinder
// low, cylinder high, drive/head, command, reserved), then bDriveNumber.
constexpr std::size_t kBufferSizeField = 0;
constexpr std::size_t kSectorCountField = 5;
constexpr std::size_t kSectorNumberField = 6;
constexpr std::size_t kDriveHeadField = 9;
constexpr std::size_t kCommandField = 10;
constexpr std::size_t kDriveNumberField = 12;

// SRB_IO_CONTROL: HeaderLength, Signature[8], Timeout, ControlCode, ReturnCode, Length.
constexpr std::size_t kSrbHeaderSize = 28;
constexpr std::size_t kSrbSignatureField = 4;
constexpr std::size_t kSrbTimeoutField = 12;
constexpr std::size_t kSrbControlCodeField = 16;
constexpr std::size_t kSrbLengthField = 24;
constexpr std::uint32_t kMiniportDataLength = 529;

// STORAGE_DEVICE_DESCRIPTOR: Version, Size, DeviceType, DeviceTypeModifier, RemovableMedia,
// CommandQueueing, VendorIdOffset, ProductIdOffset, ProductRevisionOffset, SerialNumberOffset,
// BusType, RawPropertiesLength.
constexpr std::size_t kRemovableMediaField = 10;
constexpr std::size_t kProductIdField = 16;
constexpr std::size_t kSerialNumberField = 24;
constexpr std::size_t kBusTypeField = 28;
constexpr std::size_t kDescriptorFixedSize = 36;

constexpr std::uint32_t kBusType1394 = 0x4;
constexpr std::uint32_t kBusTypeUsb = 0x7;
constexpr std::uint32_t kBusTypeIscsi = 0x9;
constexpr std::uint32_t kBusTypeSd = 0xC;
constexpr std::uint32_t kBusTypeMmc = 0xD;
constexpr std::uint32_t kBusTypeVirtual = 0xE;
constexpr std::uint32_t kBusTypeFileBackedVirtual = 0xF;

void putLittleEndian(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t littleEndianAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
    }
    return value;
}

std::uint8_t driveHeadFor(int drive) {
    return drive % 2 == 0 ? 0xA0 : 0xB0;
}

// A descriptor text: from its offset up to the first zero byte or the end of what was received.
std::string storedText(std::span<const std::uint8_t> answer, std::uint32_t offset) {
    if (offset == 0 || offset >= answer.size()) {
        return {};
    }
    const auto begin = answer.begin() + offset;
    const auto end = std::find(begin, answer.end(), std::uint8_t{0});
    return std::string(begin, end);
}

}  // namespace

std::uint8_t ideDeviceMap(std::span<const std::uint8_t> versionAnswer) {
    return versionAnswer.size() > kIdeDeviceMapOffset ? versionAnswer[kIdeDeviceMapOffset] : 0;
}

std::uint8_t identifyCommandFor(std::uint8_t deviceMap, int drive) {
    const bool packetDevice = drive < 8 && ((deviceMap >> drive) & 0x10) != 0;
    return packetDevice ? kIdentifyPacketDevice : kIdentifyDevice;
}

std::vector<std::uint8_t> smartIdentifyRequest(int drive, std::uint8_t command, std::size_t size) {
    std::vector<std::uint8_t> request(std::max(size, kDriveNumberField + 1), 0);
    putLittleEndian(request, kBufferSizeField, kIdentifyBytes);
    request[kSectorCountField] = 1;
    request[kSectorNumberField] = 1;
    request[kDriveHeadField] = driveHeadFor(drive);
    request[kCommandField] = command;
    request[kDriveNumberField] = static_cast<std::uint8_t>(drive);
    return request;
}

std::vector<std::uint8_t> miniportIdentifyRequest(int drive, std::uint32_t controlCode) {
    std::vector<std::uint8_t> request(kMiniportInputSize, 0);
    putLittleEndian(request, 0, kSrbHeaderSize);
    std::memcpy(request.data() + kSrbSignatureField, "SCSIDISK", 8);
    putLittleEndian(request, kSrbTimeoutField, kMiniportTimeout);
    putLittleEndian(request, kSrbControlCodeField, controlCode);
    putLittleEndian(request, kSrbLengthField, kMiniportDataLength);
    request[kSrbHeaderSize + kCommandField] = kIdentifyDevice;
    request[kSrbHeaderSize + kDriveNumberField] = static_cast<std::uint8_t>(drive);
    return request;
}

std::optional<DiskIdentity::IdentifyWords> identifyWordsAt(std::span<const std::uint8_t> answer,
                                                           std::size_t offset) {
    if (answer.size() < offset || answer.size() - offset < kIdentifyBytes) {
        return std::nullopt;
    }
    DiskIdentity::IdentifyWords words{};
    for (std::size_t i = 0; i < words.size(); ++i) {
        words[i] =
            static_cast<std::uint16_t>(answer[offset + 2 * i] | answer[offset + 2 * i + 1] << 8);
    }
    return words;
}

std::optional<DiskIdentity::IdentifyWords> miniportIdentifyWords(
    std::span<const std::uint8_t> answer) {
    std::optional<DiskIdentity::IdentifyWords> words = identifyWordsAt(answer, kMiniportDataOffset);
    if (!words || answer[kMiniportDataOffset + kModelOffset] == 0) {
        return std::nullopt;
    }
    return words;
}

bool StorageDescriptor::isFixedDisk() const {
    switch (busType) {
        case kBusType1394:
        case kBusTypeUsb:
        case kBusTypeIscsi:
        case kBusTypeSd:
        case kBusTypeMmc:
        case kBusTypeVirtual:
        case kBusTypeFileBackedVirtual:
            return false;
        default:
            return !removableMedia;
    }
}

std::optional<StorageDescriptor> parseStorageDescriptor(std::span<const std::uint8_t> answer) {
    if (answer.size() < kDescriptorFixedSize) {
        return std::nullopt;
    }
    StorageDescriptor descriptor;
    descriptor.removableMedia = answer[kRemovableMediaField] != 0;
    descriptor.busType = littleEndianAt(answer, kBusTypeField);
    descriptor.texts.model = storedText(answer, littleEndianAt(answer, kProductIdField));
    descriptor.texts.serial = storedText(answer, littleEndianAt(answer, kSerialNumberField));
    descriptor.texts.form = DiskIdentity::TextForm::storageDescriptor;
    return descriptor;
}

}  // namespace quillfen::platform::disk_requests
