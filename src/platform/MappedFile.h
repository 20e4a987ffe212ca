#pragma once

#include <string_view>

namespace quillfen::platform {

// A file's bytes as the system maps them into memory, read only, for as long as the object
// lives. Pages are read when first touched, so a large file costs only what is looked at. Each
// system's mapping unmaps them in its destructor.
class MappedFile {
public:
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    virtual ~MappedFile() = default;

    std::string_view bytes() const { return bytes_; }

protected:
    explicit MappedFile(std::string_view bytes) : bytes_(bytes) {}

private:
    std::string_view bytes_;
};

}  // namespace quillfen::platform
