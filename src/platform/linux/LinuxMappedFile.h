#pragma once

#include <memory>
#include <string>

#include "platform/MappedFile.h"

namespace quillfen::platform {

// A read-only shared mapping of a plain file. Files are replaced by renaming a new one over
// them, never rewritten in place, so the mapped bytes stay as they were while mapped.
class LinuxMappedFile : public MappedFile {
public:
    static std::unique_ptr<MappedFile> open(const std::string& path);
    ~LinuxMappedFile() override;

    std::string_view bytes() const override { return {data_, size_}; }

private:
    LinuxMappedFile(const char* data, std::size_t size) : data_(data), size_(size) {}

    const char* data_;
    std::size_t size_;
};

}  // namespace quillfen::platform
