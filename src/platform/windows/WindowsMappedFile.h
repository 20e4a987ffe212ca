#pragma once

#include <memory>
#include <string>

#include "platform/MappedFile.h"

namespace quillfen::platform {

// A read-only view of a plain file. The file is opened sharing reading and deletion only, so a
// writer replaces it by renaming a new file over it rather than writing into the mapped bytes.
class WindowsMappedFile : public MappedFile {
public:
    // `path` as the long-path form the file system's calls take.
    static std::unique_ptr<MappedFile> open(const std::wstring& path);
    ~WindowsMappedFile() override;

private:
    explicit WindowsMappedFile(std::string_view bytes) : MappedFile(bytes) {}
};

}  // namespace quillfen::platform
