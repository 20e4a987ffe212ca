#pragma once

#include <string>
#include <vector>

#include "platform/Volumes.h"

namespace quillfen::platform {

// The logical drives. A volume mounted in a folder is a reparse point there, which the listing
// shows but a walk never enters, so the drive roots are all the mount points a walk must know.
class WindowsVolumes final : public Volumes {
public:
    std::vector<std::string> searchRoots() const override;
    std::vector<std::string> mountPoints() const override;
    std::string resolvedFolder(const std::string& folder) const override;
    bool isMountRoot(const std::string& folder) const override;
    std::vector<std::string> recycleBinNames() const override;
    std::string userTrashFolder() const override;
};

}  // namespace quillfen::platform
