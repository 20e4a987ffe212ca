#include "platform/linux/AnchoredPath.h"

#include <cerrno>
#include <climits>
#include <utility>

namespace quillfen::platform {

AnchoredPath::AnchoredPath(const std::string& path) : name_(path.c_str()) {
    if (path.size() >= PATH_MAX) {
        openLeadingFolders(path);
    }
}

// Each step opens the longest stretch of whole names that the system takes, relative to the
// folder the step before opened.
void AnchoredPath::openLeadingFolders(const std::string& path) {
    std::size_t start = 0;
    while (path.size() - start >= PATH_MAX) {
        const std::size_t cut = path.rfind('/', start + PATH_MAX - 1);
        if (cut == std::string::npos || cut <= start) {
            // A single name longer than any path the system takes.
            errno = ENAMETOOLONG;
            valid_ = false;
            return;
        }
        const std::string stretch = path.substr(start, cut - start);
        FileDescriptor next(::openat(folder(), stretch.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!next.valid()) {
            valid_ = false;
            return;
        }
        folder_ = std::move(next);
        start = cut + 1;
    }
    rest_ = start < path.size() ? path.substr(start) : ".";
    name_ = rest_.c_str();
}

}  // namespace quillfen::platform
