#include "WindowsTestPlatform.h"

#include "platform/windows/WindowsPathRules.h"

namespace quillfen::test {

namespace {

// No drive is walked by "*" and nothing is mounted inside another volume; a folder is a volume's
// root when its path is all root. The recycle bins are the ones Windows keeps at drive roots.
class RootsOnlyVolumes final : public platform::Volumes {
public:
    std::vector<std::string> searchRoots() const override { return {}; }
    std::vector<std::string> mountPoints() const override { return {}; }
    std::string resolvedFolder(const std::string& folder) const override { return folder; }
    bool isMountRoot(const std::string& folder) const override {
        return !folder.empty() && platform::windowsRootLength(folder) == folder.size();
    }
    std::vector<std::string> recycleBinNames() const override {
        return {"$RECYCLE.BIN", "RECYCLER", "RECYCLED"};
    }
    std::string userTrashFolder() const override { return {}; }
};

}  // namespace

WindowsTestPlatform::WindowsTestPlatform() : previous_(&platform::currentPlatform()) {
    platform::installPlatform(this);
}

WindowsTestPlatform::~WindowsTestPlatform() {
    platform::installPlatform(previous_);
}

platform::Volumes& WindowsTestPlatform::volumes() {
    static RootsOnlyVolumes volumes;
    return volumes;
}

}  // namespace quillfen::test
