#include "platform/RandomAccessFile.h"

namespace quillfen::platform {

std::optional<std::string> readStart(RandomAccessFile& file, std::uint64_t count) {
    std::string bytes(count, '\0');
    std::uint64_t done = 0;
    while (done < count) {
        const std::int64_t got = file.readAt(done, bytes.data() + done, count - done);
        if (got <= 0) {
            return std::nullopt;
        }
        done += static_cast<std::uint64_t>(got);
    }
    return bytes;
}

}  // namespace quillfen::platform
