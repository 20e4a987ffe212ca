#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace quillfen::downloader {

// The file a download is written into before it may take the destination's place: new, beside
// the destination (so that the rename stays on one volume), open only here. Removed when the
// object goes, unless it has replaced the destination. One implementation per system.
class PartFile {
public:
    // Null when no such file can be created.
    static std::unique_ptr<PartFile> createBeside(const std::string& destination);

    virtual ~PartFile() = default;

    virtual bool write(std::string_view piece) = 0;
    // Puts everything written on the disk and closes the file.
    virtual bool finish() = 0;
    // Renames the finished file over the destination.
    virtual bool replace(const std::string& destination) = 0;
};

}  // namespace quillfen::downloader
