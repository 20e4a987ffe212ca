#include "platform/windows/WindowsDiskIdentity.h"

// clang-format off
#include <windows.h>
#include <winioctl.h>
#include <ntddscsi.h>
// clang-format on

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/windows/WideText.h"

namespace quillfen::platform {

namespace {

namespace requests = disk_requests;

using Bytes = std::vector<std::uint8_t>;
using IdentifyList = std::vector<std::optional<DiskIdentity::IdentifyWords>>;

constexpr int kDrivesTried = 16;
constexpr int kControllersTried = 16;
constexpr int kDrivesPerController = 2;
// The disk class of the SCSI device type, function 0x501; declared only in the driver kit.
constexpr DWORD kMiniportIdentify = 0x001B0501;

static_assert(sizeof(SENDCMDINPARAMS) == requests::kWholeSmartInputSize);
static_assert(offsetof(SENDCMDOUTPARAMS, bBuffer) == requests::kSmartDataOffset);
static_assert(sizeof(SRB_IO_CONTROL) + sizeof(SENDCMDINPARAMS) - 1 == requests::kMiniportInputSize);
static_assert(sizeof(GETVERSIONINPARAMS) == requests::kVersionAnswerSize);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, SerialNumberOffset) == 24);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) == 28);

class DeviceHandle {
public:
    DeviceHandle(const std::wstring& path, DWORD access, DWORD sharing)
        : handle_(CreateFileW(path.c_str(), access, sharing, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~DeviceHandle() {
        if (valid()) {
            CloseHandle(handle_);
        }
    }
    DeviceHandle(const DeviceHandle&) = delete;
    DeviceHandle& operator=(const DeviceHandle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

    // The bytes the device returned; nothing when the request failed.
    std::optional<Bytes> request(DWORD code, std::span<const std::uint8_t> input,
                                 std::size_t outputSize) const {
        Bytes in(input.begin(), input.end());
        Bytes out(outputSize, 0);
        DWORD returned = 0;
        if (!DeviceIoControl(handle_, code, in.empty() ? nullptr : in.data(),
                             static_cast<DWORD>(in.size()), out.data(),
                             static_cast<DWORD>(out.size()), &returned, nullptr)) {
            return std::nullopt;
        }
        out.resize(std::min<std::size_t>(returned, out.size()));
        return out;
    }

private:
    HANDLE handle_;
};

std::wstring physicalDrive(int number) {
    return L"\\\\.\\PhysicalDrive" + std::to_wstring(number);
}

std::wstring scsiController(int number) {
    return L"\\\\.\\Scsi" + std::to_wstring(number) + L":";
}

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;

std::optional<Bytes> smartVersion(const DeviceHandle& device) {
    return device.request(SMART_GET_VERSION, {}, requests::kVersionAnswerSize);
}

std::optional<DiskIdentity::IdentifyWords> smartIdentify(const DeviceHandle& device, int drive,
                                                         std::uint8_t command,
                                                         std::size_t inputSize,
                                                         std::size_t outputSize) {
    const Bytes input = requests::smartIdentifyRequest(drive, command, inputSize);
    const std::optional<Bytes> answer = device.request(SMART_RCV_DRIVE_DATA, input, outputSize);
    return answer ? requests::identifyWordsAt(*answer, requests::kSmartDataOffset) : std::nullopt;
}

std::optional<DiskIdentity::IdentifyWords> mappedSmartIdentify(int drive) {
    const DeviceHandle device(physicalDrive(drive), kReadWrite, kShareReadWrite);
    if (!device.valid()) {
        return std::nullopt;
    }
    const std::optional<Bytes> version = smartVersion(device);
    const std::uint8_t map = version ? requests::ideDeviceMap(*version) : 0;
    if (map == 0) {
        return std::nullopt;
    }
    return smartIdentify(device, drive, requests::identifyCommandFor(map, drive),
                         requests::kSmartInputSize, requests::kSmartOutputSize);
}

std::optional<DiskIdentity::IdentifyWords> wholeSmartIdentify(int drive) {
    const DeviceHandle device(physicalDrive(drive), kReadWrite,
                              kShareReadWrite | FILE_SHARE_DELETE);
    if (!device.valid() || !smartVersion(device)) {
        return std::nullopt;
    }
    return smartIdentify(device, drive, requests::kIdentifyDevice, requests::kWholeSmartInputSize,
                         requests::kWholeSmartOutputSize);
}

std::optional<DiskIdentity::IdentifyWords> miniportIdentify(const DeviceHandle& controller,
                                                            int drive) {
    const Bytes input = requests::miniportIdentifyRequest(drive, kMiniportIdentify);
    const std::optional<Bytes> answer =
        controller.request(IOCTL_SCSI_MINIPORT, input, requests::kMiniportOutputSize);
    return answer ? requests::miniportIdentifyWords(*answer) : std::nullopt;
}

IdentifyList miniportIdentifyData() {
    IdentifyList list;
    for (int number = 0; number < kControllersTried; ++number) {
        const DeviceHandle controller(scsiController(number), kReadWrite, kShareReadWrite);
        for (int drive = 0; drive < kDrivesPerController; ++drive) {
            list.push_back(controller.valid() ? miniportIdentify(controller, drive) : std::nullopt);
        }
    }
    while (!list.empty() && !list.back()) {
        list.pop_back();
    }
    return list;
}

bool anyAnswer(const IdentifyList& list) {
    return std::any_of(list.begin(), list.end(),
                       [](const auto& words) { return words.has_value(); });
}

// Opened without access rights, which the descriptor query needs none of and which any user has.
std::optional<requests::StorageDescriptor> storageDescriptor(const DeviceHandle& device) {
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&query);
    const std::optional<Bytes> answer =
        device.request(IOCTL_STORAGE_QUERY_PROPERTY, std::span(bytes, sizeof query),
                       requests::kDescriptorAnswerSize);
    return answer ? requests::parseStorageDescriptor(*answer) : std::nullopt;
}

}  // namespace

std::vector<WindowsDiskIdentity::Drive> WindowsDiskIdentity::fixedDrives() const {
    std::vector<Drive> drives;
    for (int number = 0; number < kDrivesTried; ++number) {
        const DeviceHandle device(physicalDrive(number), 0, kShareReadWrite);
        if (!device.valid()) {
            continue;
        }
        Drive drive{number, storageDescriptor(device)};
        if (!drive.descriptor || drive.descriptor->isFixedDisk()) {
            drives.push_back(std::move(drive));
        }
    }
    return drives;
}

std::vector<std::optional<DiskIdentity::IdentifyWords>> WindowsDiskIdentity::identifyData() const {
    const std::vector<Drive> drives = fixedDrives();
    IdentifyList mapped;
    for (const Drive& drive : drives) {
        mapped.push_back(mappedSmartIdentify(drive.number));
    }
    if (anyAnswer(mapped)) {
        return mapped;
    }
    if (IdentifyList miniport = miniportIdentifyData(); anyAnswer(miniport)) {
        return miniport;
    }
    IdentifyList whole;
    for (const Drive& drive : drives) {
        whole.push_back(wholeSmartIdentify(drive.number));
    }
    return anyAnswer(whole) ? whole : mapped;
}

std::vector<DiskIdentity::Texts> WindowsDiskIdentity::diskTexts() const {
    std::vector<Texts> texts;
    for (const Drive& drive : fixedDrives()) {
        texts.push_back(drive.descriptor ? drive.descriptor->texts : Texts{});
    }
    return texts;
}

std::string WindowsDiskIdentity::installationIdentifier() const {
    const wchar_t* key = L"SOFTWARE\\Microsoft\\Cryptography";
    DWORD size = 0;
    const DWORD flags = RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, L"MachineGuid", flags, nullptr, nullptr, &size) !=
            ERROR_SUCCESS ||
        size < sizeof(wchar_t)) {
        return {};
    }
    std::wstring value(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, L"MachineGuid", flags, nullptr, value.data(),
                     &size) != ERROR_SUCCESS) {
        return {};
    }
    value.resize(wcsnlen(value.data(), size / sizeof(wchar_t)));
    return fromWide(value);
}

}  // namespace quillfen::platform
