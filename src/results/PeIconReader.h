#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/RandomAccessFile.h"

namespace quillfen {

// Takes an icon out of a Windows program or library: one icon group of its resources, with the
// images the group names, assembled into the bytes of an icon file. The file is untrusted (any
// program a search finds), so every offset is checked before it is read, the resource tree is
// walked to its fixed depth only, and the work and the result are bounded by the limits below.
class PeIconReader {
public:
    // More than any real icon group holds; a group naming more is cut short.
    static constexpr std::size_t kMaxImages = 256;
    // The most image bytes one icon may gather; images beyond it are left out.
    static constexpr std::uint64_t kMaxIconBytes = 16 * 1024 * 1024;

    explicit PeIconReader(platform::RandomAccessFile& file);

    // The icon file of one group: index 0 or more counts the groups in the order of the resource
    // directory, a negative index names the group by its resource identifier (-2 is id 2), as
    // the platform's own icon extraction does. nullopt when the file is not such a program, has
    // no such group, or none of the group's images is present.
    std::optional<std::string> iconFile(int index);

    static std::optional<std::string> iconFileFromBytes(std::string_view bytes, int index);

private:
    platform::RandomAccessFile& file_;
};

}  // namespace quillfen
