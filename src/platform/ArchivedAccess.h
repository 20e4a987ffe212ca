#pragma once

#include <cstdint>
#include <optional>

namespace quillfen::platform {

// The access an archive recorded for one of its files. Archives made on Unix record the mode bits;
// others record only whether the file was read-only.
struct ArchivedAccess {
    std::optional<std::uint32_t> unixMode;
    bool readOnly = false;
};

}  // namespace quillfen::platform
