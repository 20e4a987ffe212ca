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
    // The file name of the update archive of a copy that runs from where it was unpacked, for a
    // version, as releases name it.
    virtual std::string updateArchiveName(const std::string& version) const = 0;
    // The file name of the setup program that updates an installed copy, for a version; empty
    // where installed copies are the system's package manager's to update.
    virtual std::string setupProgramName(const std::string& version) const = 0;
};

}  // namespace quillfen::platform
