#pragma once

#include <string_view>

namespace quillfen::platform {

// A file's bytes as the system maps them into memory, read only, for as long as the object
// lives. Pages are read when first touched, so a large file costs only what is looked at.
class MappedFile {
public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    virtual ~MappedFile() = default;

    virtual std::string_view bytes() const = 0;
};

}  // namespace quillfen::platform
