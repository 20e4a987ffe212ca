#include "platform/linux/LinuxVolumes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string_view>

#include "platform/linux/AnchoredPath.h"

namespace quillfen::platform {

namespace {

// File systems that hold no user files: kernel interfaces and bookkeeping.
constexpr std::array<std::string_view, 22> kPseudoFileSystems = {
    "proc",       "sysfs",    "cgroup",    "cgroup2",         "devtmpfs", "devpts",
    "securityfs", "debugfs",  "tracefs",   "pstore",          "bpf",      "mqueue",
    "hugetlbfs",  "configfs", "fusectl",   "binfmt_misc",     "autofs",   "efivarfs",
    "rpc_pipefs", "nsfs",     "selinuxfs", "fuse.gvfsd-fuse",
};

std::string unescapeOctal(const std::string& field) {
    std::string result;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string digits = field.substr(i + 1, 3);
            if (digits.size() == 3 && std::all_of(digits.begin(), digits.end(),
                                                  [](char c) { return c >= '0' && c <= '7'; })) {
                result.push_back(static_cast<char>(std::strtol(digits.c_str(), nullptr, 8)));
                i += 3;
                continue;
            }
        }
        result.push_back(field[i]);
    }
    return result;
}

std::string withSeparator(std::string path) {
    if (path.empty() || path.back() != '/') {
        path.push_back('/');
    }
    return path;
}

}  // namespace

LinuxVolumes::LinuxVolumes(std::string mountInfoPath) : mountInfoPath_(std::move(mountInfoPath)) {}

std::vector<LinuxVolumes::Mount> LinuxVolumes::parseMountInfo(const std::string& text) {
    std::vector<Mount> mounts;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::vector<std::string> before;
        std::string field;
        while (fields >> field && field != "-") {
            before.push_back(field);
        }
        std::string type;
        if (before.size() < 5 || !(fields >> type)) {
            continue;
        }
        mounts.push_back(Mount{unescapeOctal(before[4]), type});
    }
    return mounts;
}

bool LinuxVolumes::isPseudoFileSystem(const std::string& type) {
    return std::find(kPseudoFileSystems.begin(), kPseudoFileSystems.end(), type) !=
           kPseudoFileSystems.end();
}

std::vector<LinuxVolumes::Mount> LinuxVolumes::mounts() const {
    std::ifstream file(mountInfoPath_);
    std::ostringstream text;
    text << file.rdbuf();
    return parseMountInfo(text.str());
}

std::vector<std::string> LinuxVolumes::searchRoots() const {
    std::vector<std::string> roots;
    for (const Mount& mount : mounts()) {
        const std::string root = withSeparator(mount.mountPoint);
        if (!isPseudoFileSystem(mount.fileSystemType) &&
            std::find(roots.begin(), roots.end(), root) == roots.end()) {
            roots.push_back(root);
        }
    }
    return roots;
}

std::vector<std::string> LinuxVolumes::mountPoints() const {
    std::vector<std::string> points;
    for (const Mount& mount : mounts()) {
        points.push_back(withSeparator(mount.mountPoint));
    }
    return points;
}

std::string LinuxVolumes::resolvedFolder(const std::string& folder) const {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(folder.c_str(), nullptr),
                                                               &std::free);
    return resolved ? withSeparator(resolved.get()) : folder;
}

// The kernel marks a mount's root; one without that mark tells it by a change of device from the
// folder's parent, or, at the very top, by the folder being its own parent. Automounts are not
// triggered: an unmounted automount point is no root yet.
bool LinuxVolumes::isMountRoot(const std::string& folder) const {
    const AnchoredPath at(folder);
    struct statx info {};
    if (!at.valid() || ::statx(at.folder(), at.name(), AT_NO_AUTOMOUNT, STATX_INO, &info) != 0) {
        return false;
    }
    if ((info.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0) {
        return (info.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    }
    const std::string parentName = std::string(at.name()) + "/..";
    struct stat self {};
    struct stat parent {};
    if (::fstatat(at.folder(), at.name(), &self, AT_NO_AUTOMOUNT) != 0 ||
        ::fstatat(at.folder(), parentName.c_str(), &parent, AT_NO_AUTOMOUNT) != 0) {
        return false;
    }
    return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
}

std::vector<std::string> LinuxVolumes::recycleBinNames() const {
    return {"$RECYCLE.BIN", "RECYCLER", "RECYCLED", ".TRASH",
            ".TRASH-" + std::to_string(::getuid())};
}

std::string LinuxVolumes::userTrashFolder() const {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') {
        return withSeparator(std::string(dataHome) + "/Trash");
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        return {};
    }
    return withSeparator(std::string(home) + "/.local/share/Trash");
}

}  // namespace quillfen::platform
