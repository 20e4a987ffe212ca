#pragma once

#include <cstdint>

namespace quillfen::platform {

// Which file a path names on this machine: two paths with equal identities name the same file,
// whatever their spelling and whatever links lead to it. The platform fills it from its own file
// numbering (a device and an inode number, or a volume serial number and a file id of up to
// 128 bits); the core only compares identities.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    // The upper half of a 128-bit file id; 0 where file ids have 64 bits.
    std::uint64_t fileHigh = 0;

    bool operator==(const FileIdentity&) const = default;
};

}  // namespace quillfen::platform
