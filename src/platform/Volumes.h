#pragma once

#include <string>
#include <vector>

namespace quillfen::platform {

// The "drives" of the system: on Linux the mount points of real file systems.
class Volumes {
public:
    virtual ~Volumes() = default;

    // The roots that a search of every drive walks, in the system's order, each once and ending
    // with a separator; pseudo file systems are left out.
    virtual std::vector<std::string> searchRoots() const = 0;
    // Every mount point, pseudo file systems included, each ending with a separator. A walk of one
    // root does not descend into another.
    virtual std::vector<std::string> mountPoints() const = 0;
    // The folder's path with links, "." and ".." resolved, spelt as mount points are, ending with a
    // separator; the path as given when it cannot be resolved.
    virtual std::string resolvedFolder(const std::string& folder) const = 0;
    // Whether the folder, however its path is spelt, is the root of a mounted volume.
    virtual bool isMountRoot(const std::string& folder) const = 0;
    // Names of recycle-bin folders at a volume root, upper-cased (ASCII), without separator.
    virtual std::vector<std::string> recycleBinNames() const = 0;
    // The user's own trash folder, wherever it lies, ending with a separator; empty when none.
    virtual std::string userTrashFolder() const = 0;
};

}  // namespace quillfen::platform
