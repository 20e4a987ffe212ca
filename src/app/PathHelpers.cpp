#include "app/PathHelpers.h"

#include <algorithm>

#include "platform/Platform.h"

namespace quillfen {

namespace {

platform::FileSystem& files() {
    return platform::currentPlatform().files();
}

}  // namespace

char pathSeparator() {
    return files().separator();
}

std::string withTrailingSeparator(std::string_view path) {
    std::string result(path);
    if (result.empty() || result.back() != pathSeparator()) {
        result.push_back(pathSeparator());
    }
    return result;
}

std::string withoutTrailingSeparator(std::string_view path) {
    std::string result(path);
    if (result.size() > files().rootLength(result) && result.back() == pathSeparator()) {
        result.pop_back();
    }
    return result;
}

std::string moduleFilePath() {
    return platform::currentPlatform().system().executablePath();
}

std::string moduleDirectory() {
    const std::string path = moduleFilePath();
    const auto last = path.rfind(pathSeparator());
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

bool isDirectory(const std::string& path) {
    return files().kindOf(withoutTrailingSeparator(path)) == platform::EntryKind::Directory;
}

bool pathExists(const std::string& path) {
    return files().kindOf(withoutTrailingSeparator(path)) != platform::EntryKind::Missing;
}

// The root itself is never created, nor anything inside it, such as a UNC path's server.
void createDirectoryChain(const std::string& path) {
    const char separator = pathSeparator();
    const size_t firstAfterRoot = std::max<size_t>(files().rootLength(path), 1);
    for (size_t at = path.find(separator, firstAfterRoot); at != std::string::npos;
         at = path.find(separator, at + 1)) {
        files().createDirectory(path.substr(0, at));
    }
    files().createDirectory(path);
}

}  // namespace quillfen
