#include <windows.h>

#include "downloader/Destination.h"
#include "platform/windows/WideText.h"

namespace quillfen::downloader {

namespace {

bool endsWithSeparator(const std::string& path) {
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

}  // namespace

bool isFolder(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    if (endsWithSeparator(path)) {
        return true;
    }
    const DWORD attributes = GetFileAttributesW(platform::toWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool mayBeReplaced(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(platform::toWide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    constexpr DWORD kNotPlain =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    return (attributes & kNotPlain) == 0;
}

std::string pathInFolder(const std::string& folder, const std::string& name) {
    return folder + (endsWithSeparator(folder) ? "" : "\\") + name;
}

}  // namespace quillfen::downloader
