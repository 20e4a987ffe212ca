#include "platform/windows/WindowsVolumes.h"

#include <windows.h>

#include <memory>

#include "platform/windows/LongPath.h"
#include "platform/windows/WideText.h"

namespace quillfen::platform {

namespace {

// Strips the prefixes of GetFinalPathNameByHandleW's answer: "\\?\C:\x" is "C:\x" and
// "\\?\UNC\server\share" is "\\server\share".
std::wstring withoutLongPathPrefix(std::wstring path) {
    constexpr std::wstring_view kUncPrefix = L"\\\\?\\UNC\\";
    constexpr std::wstring_view kPrefix = L"\\\\?\\";
    if (path.starts_with(kUncPrefix)) {
        return L"\\\\" + path.substr(kUncPrefix.size());
    }
    if (path.starts_with(kPrefix)) {
        return path.substr(kPrefix.size());
    }
    return path;
}

std::wstring withSeparator(std::wstring path) {
    if (path.empty() || path.back() != L'\\') {
        path.push_back(L'\\');
    }
    return path;
}

// "." and ".." resolved and '/' turned into '\', without touching the disk; empty on failure.
std::wstring fullPathOf(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return {};
    }
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return {};
    }
    full.resize(length);
    return full;
}

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// The path the system reaches the folder by, links and junctions followed; empty on failure.
std::wstring finalPathOf(const std::wstring& folder) {
    const UniqueHandle handle(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                          nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) {
        return {};
    }
    const DWORD needed = GetFinalPathNameByHandleW(handle.get(), nullptr, 0, VOLUME_NAME_DOS);
    if (needed == 0) {
        return {};
    }
    std::wstring path(needed, L'\0');
    const DWORD length =
        GetFinalPathNameByHandleW(handle.get(), path.data(), needed, VOLUME_NAME_DOS);
    if (length == 0 || length >= needed) {
        return {};
    }
    path.resize(length);
    return withoutLongPathPrefix(std::move(path));
}

}  // namespace

// The drive roots in the order the system gives them ("C:\", "D:\", ...). None is left out for its
// type: removable, optical and network drives are searched too.
std::vector<std::string> WindowsVolumes::searchRoots() const {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.assign(length + 1, L'\0');
    }
    std::vector<std::string> roots;
    std::size_t start = 0;
    while (start < buffer.size()) {
        const std::size_t end = buffer.find(L'\0', start);
        const std::size_t stop = end == std::wstring::npos ? buffer.size() : end;
        if (stop > start) {
            roots.push_back(fromWide(withSeparator(buffer.substr(start, stop - start))));
        }
        start = stop + 1;
    }
    return roots;
}

std::vector<std::string> WindowsVolumes::mountPoints() const {
    return searchRoots();
}

std::string WindowsVolumes::resolvedFolder(const std::string& folder) const {
    const std::wstring resolved = finalPathOf(longPath(folder));
    return resolved.empty() ? folder : fromWide(withSeparator(resolved));
}

// A drive root or a folder that a volume is mounted in: the system's volume path of the folder is
// the folder itself.
bool WindowsVolumes::isMountRoot(const std::string& folder) const {
    const std::wstring full = fullPathOf(toWide(folder));
    if (full.empty() || GetFileAttributesW(full.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    std::wstring volume(full.size() + MAX_PATH, L'\0');
    if (!GetVolumePathNameW(full.c_str(), volume.data(), static_cast<DWORD>(volume.size()))) {
        return false;
    }
    volume.resize(volume.find(L'\0'));
    return CompareStringOrdinal(withSeparator(full).c_str(), -1, withSeparator(volume).c_str(), -1,
                                TRUE) == CSTR_EQUAL;
}

std::vector<std::string> WindowsVolumes::recycleBinNames() const {
    return {"$RECYCLE.BIN", "RECYCLER", "RECYCLED"};
}

// The recycle bins are the folders at each drive's root; there is no trash folder of the user's
// own elsewhere.
std::string WindowsVolumes::userTrashFolder() const {
    return {};
}

}  // namespace quillfen::platform
