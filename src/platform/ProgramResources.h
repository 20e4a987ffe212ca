#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quillfen::platform {

// Data carried inside the program's own executable.
class ProgramResources {
public:
    virtual ~ProgramResources() = default;

    // The downloader, stored as a zip archive whose every byte is complemented; empty when this
    // build carries none.
    virtual std::span<const std::uint8_t> downloaderArchive() const = 0;
    // The file name the downloader is unpacked and run under, as this system names programs.
    virtual std::string downloaderFileName() const = 0;
};

}  // namespace quillfen::platform
