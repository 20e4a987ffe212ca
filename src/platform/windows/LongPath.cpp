#include "platform/windows/LongPath.h"

#include <windows.h>

#include <algorithm>

#include "platform/windows/WideText.h"

namespace quillfen::platform {

namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";

bool isDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool hasDrive(std::wstring_view path) {
    return path.size() >= 2 && isDriveLetter(path[0]) && path[1] == L':';
}

// Where the names of a "\\server\share\..." path begin: after the separator behind the share.
std::size_t uncRootLength(std::wstring_view path) {
    const std::size_t server = path.find(L'\\', 2);
    if (server == std::wstring_view::npos) {
        return path.size();
    }
    const std::size_t share = path.find(L'\\', server + 1);
    return share == std::wstring_view::npos ? path.size() : share + 1;
}

// `root` (ending in a separator) followed by the names of `rest`: "." dropped, ".." taking back the
// name before it but never the root, every other name kept exactly as spelt. The system's own
// reading of a path would drop trailing dots and blanks and turn "CON" or "nul.txt" into devices,
// which would read another file than the one a folder listed.
std::wstring withNames(std::wstring root, std::wstring_view rest) {
    const std::size_t rootLength = root.size();
    std::wstring path = std::move(root);
    std::size_t start = 0;
    while (start < rest.size()) {
        const std::size_t end = std::min(rest.find(L'\\', start), rest.size());
        const std::wstring_view name = rest.substr(start, end - start);
        if (name == L"..") {
            if (path.size() > rootLength) {
                path.erase(path.rfind(L'\\', path.size() - 2) + 1);
            }
        } else if (!name.empty() && name != L".") {
            path.append(name);
            path.push_back(L'\\');
        }
        start = end + 1;
    }
    if (!rest.empty() && rest.back() != L'\\' && path.size() > rootLength) {
        path.pop_back();
    }
    return path;
}

}  // namespace

// The names of the path are joined to its root by hand instead of through GetFullPathNameW, so
// that "x." stays "x." and "CON" stays a file; only a root without names (the current folder, a
// drive's current folder, the current drive) is asked of the system.
std::wstring longPath(const std::wstring& path) {
    if (path.empty()) {
        return {};
    }
    if (path.starts_with(kLongPrefix) || path.starts_with(kDevicePrefix)) {
        return path;
    }
    std::wstring spelt = path;
    std::replace(spelt.begin(), spelt.end(), L'/', L'\\');
    const std::wstring_view view = spelt;
    if (view.starts_with(L"\\\\")) {
        const std::size_t root = uncRootLength(view);
        std::wstring share(view.substr(2, root - 2));
        if (share.empty() || share.back() != L'\\') {
            share.push_back(L'\\');
        }
        return withNames(std::wstring(kLongUncPrefix) + share, view.substr(root));
    }
    if (hasDrive(view) && view.size() > 2 && view[2] == L'\\') {
        return withNames(std::wstring(kLongPrefix) + std::wstring(view.substr(0, 3)),
                         view.substr(3));
    }
    const std::size_t rootLength = hasDrive(view) ? 2 : (view.starts_with(L'\\') ? 1 : 0);
    const std::wstring base = systemReading(
        rootLength == 0 ? std::wstring(L".") : std::wstring(view.substr(0, rootLength)));
    if (base.empty() || (!hasDrive(base) && !base.starts_with(L"\\\\"))) {
        return {};
    }
    return longPath(base + L"\\" + std::wstring(view.substr(rootLength)));
}

std::wstring longPath(const std::string& path) {
    return longPath(toWide(path));
}

std::wstring systemReading(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            return {};
        }
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

std::wstring shellSpelling(const std::string& path) {
    const std::wstring spelt = toWide(path);
    const std::wstring full = longPath(spelt);
    if (full.empty() || systemReading(spelt) == withoutLongPrefix(full)) {
        return spelt;
    }
    const DWORD needed = GetShortPathNameW(full.c_str(), nullptr, 0);
    std::wstring shortForm(needed, L'\0');
    const DWORD length =
        needed == 0 ? 0 : GetShortPathNameW(full.c_str(), shortForm.data(), needed);
    if (length == 0 || length >= needed) {
        return spelt;
    }
    shortForm = withoutLongPrefix(shortForm.substr(0, length));
    return systemReading(shortForm) == shortForm ? shortForm : spelt;
}

std::wstring withoutLongPrefix(const std::wstring& path) {
    if (path.starts_with(kLongUncPrefix)) {
        return L"\\\\" + path.substr(kLongUncPrefix.size());
    }
    if (path.starts_with(kLongPrefix)) {
        return path.substr(kLongPrefix.size());
    }
    return path;
}

}  // namespace quillfen::platform
