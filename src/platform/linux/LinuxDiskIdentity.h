#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/DiskIdentity.h"

namespace quillfen::platform {

// Disk identity from the kernel's view of the block devices below a root folder, "/" but for
// tests. A disk is fixed when sysfs lists it as a whole disk that is not removable, not hidden,
// not reached over USB and not a loop, memory, mapped, network, optical, floppy or software RAID
// device. Fixed disks come in name order.
//
// Identify data come, per disk, from what libata keeps in sysfs (readable by everyone), else from
// the kernel's copy through HDIO_GET_IDENTITY, else from an ATA PASS-THROUGH IDENTIFY DEVICE; the
// last two need the right to open the device, which a normal user lacks.
//
// Serial and model are the plain texts of sysfs (the disk's device/serial or its own serial, and
// device/model), with the udev database filling what sysfs lacks (ID_SERIAL_SHORT, ID_MODEL).
class LinuxDiskIdentity final : public DiskIdentity {
public:
    explicit LinuxDiskIdentity(std::filesystem::path root = "/");

    std::vector<std::optional<IdentifyWords>> identifyData() const override;
    std::vector<Texts> diskTexts() const override;
    // /etc/machine-id, or the older D-Bus copy where a system has only that.
    std::string installationIdentifier() const override;

    std::vector<std::string> fixedDiskNames() const;

    // The identify words as libata shows them: 256 hexadecimal numbers between white space.
    static std::optional<IdentifyWords> parseIdentifyWords(const std::string& text);

private:
    std::filesystem::path diskFolder(const std::string& name) const;
    bool isFixedDisk(const std::string& name) const;
    std::optional<IdentifyWords> libataIdentify(const std::string& name) const;
    std::optional<IdentifyWords> deviceIdentify(const std::string& name) const;
    std::map<std::string, std::string> udevProperties(const std::string& name) const;
    Texts texts(const std::string& name) const;

    std::filesystem::path root_;
};

}  // namespace quillfen::platform
