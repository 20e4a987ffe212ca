#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace quillfen::platform {

// A file opened for reading at any offset. Closed when the object goes.
class RandomAccessFile {
public:
    virtual ~RandomAccessFile() = default;

    virtual std::int64_t size() const = 0;
    // Reads up to `count` bytes at `offset`; returns the count read (0 at or past the end) or -1
    // on an error.
    virtual std::int64_t readAt(std::uint64_t offset, char* buffer, std::size_t count) = 0;
};

// The file's first `count` bytes, or nullopt when it ends sooner or cannot be read.
std::optional<std::string> readStart(RandomAccessFile& file, std::uint64_t count);

}  // namespace quillfen::platform
