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

private:
    explicit LinuxMappedFile(std::string_view bytes) : MappedFile(bytes) {}
};

}  // namespace quillfen::platform
