#pragma once

#include "platform/ProgramResources.h"

namespace quillfen::platform {

// Resources that the executable was linked with; programs without any pass nothing.
class EmbeddedResources final : public ProgramResources {
public:
    explicit EmbeddedResources(std::span<const std::uint8_t> downloaderArchive = {})
        : downloaderArchive_(downloaderArchive) {}

    std::span<const std::uint8_t> downloaderArchive() const override { return downloaderArchive_; }
    std::string downloaderFileName() const override { return "quilldown"; }
    std::string updateArchiveName(const std::string& version) const override {
        return "quillfen-" + version + "-linux-x86_64.zip";
    }
    std::string setupProgramName(const std::string& /*version*/) const override { return {}; }

private:
    std::span<const std::uint8_t> downloaderArchive_;
};

}  // namespace quillfen::platform
