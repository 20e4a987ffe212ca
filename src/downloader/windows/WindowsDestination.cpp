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

std::string folderOf(const std::string& path) {
    const auto separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::vector<std::string> plainFileNamesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data{};
    const std::wstring pattern = platform::toWide((folder.empty() ? "." : folder) + "\\*");
    const HANDLE search = FindFirstFileW(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    constexpr DWORD kNotPlain =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    do {
        if ((data.dwFileAttributes & kNotPlain) == 0) {
            names.push_back(platform::fromWide(data.cFileName));
        }
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return names;
}

// A running downloader holds its part file open without sharing, so the deletion fails then.
void removeUnlessInUse(const std::string& path) {
    if (mayBeReplaced(path)) {
        DeleteFileW(platform::toWide(path).c_str());
    }
}

}  // namespace quillfen::downloader
