#pragma once

#include <cstddef>
#include <cstdint>

namespace quillfen::platform {

// A file opened for reading its bytes in order. Closed when the object goes.
class InputFile {
public:
    virtual ~InputFile() = default;

    // Reads up to `size` bytes; returns the count read, 0 at the end, or -1 on an error.
    virtual std::int64_t read(char* buffer, std::size_t size) = 0;
};

}  // namespace quillfen::platform
