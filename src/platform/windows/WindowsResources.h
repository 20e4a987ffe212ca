#pragma once

#include "platform/ProgramResources.h"

namespace quillfen::platform {

// Resources of the running executable: the downloader archive is the resource of type "BIN"
// with the number 130.
class WindowsResources final : public ProgramResources {
public:
    std::span<const std::uint8_t> downloaderArchive() const override;
    std::string downloaderFileName() const override { return "quilldown.exe"; }
    std::string updateArchiveName(const std::string& version) const override {
        return "quillfen-" + version + "-windows-x64.zip";
    }
    std::string setupProgramName(const std::string& version) const override {
        return "QuillfenSetup-" + version + ".exe";
    }
};

}  // namespace quillfen::platform
