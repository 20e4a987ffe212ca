#include "support/DeepTree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>

namespace quillfen::test {

DeepTree::DeepTree(const std::string& base, int levels, const std::string& folderName)
    : base_(base), folderName_(folderName), bottom_(base) {
    bottomFd_ = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (bottomFd_ < 0) {
        throw std::runtime_error("cannot open " + base);
    }
    for (; levels_ < levels; ++levels_) {
        if (::mkdirat(bottomFd_, folderName.c_str(), 0700) != 0) {
            throw std::runtime_error("mkdirat failed at level " + std::to_string(levels_));
        }
        const int next =
            ::openat(bottomFd_, folderName.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(bottomFd_);
        bottomFd_ = next;
        if (next < 0) {
            throw std::runtime_error("openat failed at level " + std::to_string(levels_));
        }
        bottom_ += "/" + folderName;
    }
}

DeepTree::~DeepTree() {
    for (const std::string& name : files_) {
        ::unlinkat(bottomFd_, name.c_str(), 0);
    }
    int folder = bottomFd_;
    for (int level = 0; level < levels_ && folder >= 0; ++level) {
        const int parent = ::openat(folder, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(folder);
        folder = parent;
        if (folder >= 0) {
            ::unlinkat(folder, folderName_.c_str(), AT_REMOVEDIR);
        }
    }
    if (folder >= 0) {
        ::close(folder);
    }
}

std::string DeepTree::writeFile(const std::string& name, const std::string& contents) {
    const int fd =
        ::openat(bottomFd_, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 ||
        ::write(fd, contents.data(), contents.size()) != static_cast<ssize_t>(contents.size())) {
        if (fd >= 0) {
            ::close(fd);
        }
        throw std::runtime_error("cannot write " + name + " at the bottom");
    }
    ::close(fd);
    files_.push_back(name);
    return bottom_ + "/" + name;
}

}  // namespace quillfen::test
