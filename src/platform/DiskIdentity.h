#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillfen::platform {

// What the fixed disks of this computer say about themselves. Both lists follow the fixed disks in
// the system's order, its first disk first. Removable and externally attached disks, memory disks
// and mapped devices are left out: the identity of the computer must not change when a stick is
// plugged in or a volume is mounted.
class DiskIdentity {
public:
    // The 256 words of an ATA IDENTIFY DEVICE answer, in the device's word order.
    using IdentifyWords = std::array<std::uint16_t, 256>;

    // How serial and model texts reached us. Some Windows storage drivers report the serial as
    // hexadecimal digits of byte-swapped identify data; such texts need decoding before use.
    // Texts a system already gives as plain characters must be taken as they are.
    enum class TextForm { plain, storageDescriptor };

    struct Texts {
        std::string serial;
        std::string model;
        TextForm form = TextForm::plain;
    };

    virtual ~DiskIdentity() = default;

    // One entry per fixed disk; empty where the disk's identify data cannot be read, as for
    // disks that are not ATA or when the process lacks the rights.
    virtual std::vector<std::optional<IdentifyWords>> identifyData() const = 0;
    // One entry per fixed disk, with the serial and model the system knows for it; either text
    // may be empty, and neither is trimmed.
    virtual std::vector<Texts> diskTexts() const = 0;
    // The identifier the operating system gave its installation on these disks when it was set
    // up (on Linux /etc/machine-id, on Windows the MachineGuid): for computers whose disks tell
    // nothing about themselves, as virtual machines often do. Empty when there is none.
    virtual std::string installationIdentifier() const = 0;
};

}  // namespace quillfen::platform
