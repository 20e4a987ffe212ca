#pragma once

#include <string>
#include <vector>

#include "platform/Volumes.h"

namespace quillfen::platform {

// Volumes from the mount table of this process (/proc/self/mountinfo).
class LinuxVolumes final : public Volumes {
public:
    struct Mount {
        std::string mountPoint;
        std::string fileSystemType;
    };

    explicit LinuxVolumes(std::string mountInfoPath = "/proc/self/mountinfo");

    std::vector<std::string> searchRoots() const override;
    std::vector<std::string> mountPoints() const override;
    std::string resolvedFolder(const std::string& folder) const override;
    bool isMountRoot(const std::string& folder) const override;
    std::vector<std::string> recycleBinNames() const override;
    std::string userTrashFolder() const override;

    // Parses mountinfo text; mount points come unescaped ("\040" is a blank).
    static std::vector<Mount> parseMountInfo(const std::string& text);
    static bool isPseudoFileSystem(const std::string& type);

private:
    std::vector<Mount> mounts() const;

    std::string mountInfoPath_;
};

}  // namespace quillfen::platform
