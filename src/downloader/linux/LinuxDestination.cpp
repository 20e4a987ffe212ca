#include <sys/stat.h>

#include <cerrno>

#include "downloader/Destination.h"

namespace quillfen::downloader {

bool isFolder(const std::string& path) {
    struct stat info {};
    return !path.empty() &&
           (path.back() == '/' || (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)));
}

bool mayBeReplaced(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT;
    }
    return S_ISREG(info.st_mode);
}

std::string pathInFolder(const std::string& folder, const std::string& name) {
    return folder + (folder.back() == '/' ? "" : "/") + name;
}

}  // namespace quillfen::downloader
