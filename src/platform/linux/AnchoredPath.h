#pragma once

#include <fcntl.h>

#include <string>

#include "platform/linux/FileDescriptor.h"

namespace quillfen::platform {

// A path as a folder handle and a name relative to it, for the *at system calls. A path the
// system takes in one call is used as it is, with no call and no copy; a longer one, which the
// system refuses whole, is opened folder by folder in stretches short enough for it, so no path is
// too long to reach. Symbolic links on the way are followed as the system follows them in a path.
class AnchoredPath {
public:
    // `path` must outlive the object.
    explicit AnchoredPath(const std::string& path);

    // False when a folder on the way could not be opened; errno then tells why.
    bool valid() const { return valid_; }
    int folder() const { return folder_.valid() ? folder_.get() : AT_FDCWD; }
    const char* name() const { return name_; }

private:
    void openLeadingFolders(const std::string& path);

    FileDescriptor folder_;
    std::string rest_;
    const char* name_;
    bool valid_ = true;
};

}  // namespace quillfen::platform
