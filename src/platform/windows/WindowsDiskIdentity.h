#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/DiskIdentity.h"
#include "platform/windows/DiskRequests.h"

namespace quillfen::platform {

// Disk identity through the disk identification device requests on \\.\PhysicalDrive0 to 15
// and \\.\Scsi0: to 15:. A drive is a fixed disk when its storage device descriptor does not
// call it removable or external (see DiskRequests); a drive that gives no descriptor counts as
// fixed, as the drive itself answers nothing else about it.
//
// Identify data come from the first of these sources in which any drive answers, so that each
// entry is one source's word for one drive:
//   1. SMART_RCV_DRIVE_DATA on each fixed disk that SMART_GET_VERSION shows in its IDE device
//      map, IDENTIFY PACKET DEVICE for ATAPI devices;
//   2. the SCSI miniport's IDENTIFY on drives 0 and 1 of each controller, two entries per
//      controller in controller order (a controller is not a disk, so these entries are not
//      filtered);
//   3. SMART_RCV_DRIVE_DATA with the whole structures on each fixed disk that answers
//      SMART_GET_VERSION at all, IDENTIFY DEVICE always.
// Direct access to the ATA ports is left out: only the Windows 9x family allowed it.
class WindowsDiskIdentity final : public DiskIdentity {
public:
    std::vector<std::optional<IdentifyWords>> identifyData() const override;
    // The product identifier and serial number of each fixed disk's storage device descriptor.
    std::vector<Texts> diskTexts() const override;
    // The MachineGuid that Windows setup writes under HKLM\SOFTWARE\Microsoft\Cryptography.
    std::string installationIdentifier() const override;

private:
    struct Drive {
        int number = 0;
        std::optional<disk_requests::StorageDescriptor> descriptor;
    };

    std::vector<Drive> fixedDrives() const;
};

}  // namespace quillfen::platform
