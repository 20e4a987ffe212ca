#include "platform/windows/WindowsPathRules.h"

namespace quillfen::platform {

namespace {

bool isSlash(char c) {
    return c == '\\' || c == '/';
}

bool isDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// "X:" or "X:\" at `at`; 0 when there is no drive there.
std::size_t driveLength(std::string_view path, std::size_t at) {
    if (path.size() < at + 2 || !isDriveLetter(path[at]) || path[at + 1] != ':') {
        return 0;
    }
    return path.size() > at + 2 && isSlash(path[at + 2]) ? 3 : 2;
}

// The end of `names` names starting at `at`, such as "server\share\": just after the separator
// behind the last of them, or the path's end when it ends first.
std::size_t namesEnd(std::string_view path, std::size_t at, std::size_t names) {
    std::size_t separators = 0;
    for (std::size_t index = at; index < path.size(); ++index) {
        if (isSlash(path[index]) && ++separators == names) {
            return index + 1;
        }
    }
    return path.size();
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t index = 0; index < prefix.size(); ++index) {
        const char c = text[index];
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != prefix[index] && !(isSlash(c) && isSlash(prefix[index]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::size_t windowsRootLength(std::string_view path) {
    if (startsWithIgnoringCase(path, "\\\\?\\unc\\")) {
        return namesEnd(path, 8, 2);
    }
    if (startsWithIgnoringCase(path, "\\\\?\\") || startsWithIgnoringCase(path, "\\\\.\\")) {
        const std::size_t drive = driveLength(path, 4);
        // A device or volume name such as "Volume{...}" when no drive follows.
        return drive == 0 ? namesEnd(path, 4, 1) : 4 + drive;
    }
    if (path.size() >= 2 && isSlash(path[0]) && isSlash(path[1])) {
        return namesEnd(path, 2, 2);
    }
    if (!path.empty() && isSlash(path[0])) {
        return 1;
    }
    return driveLength(path, 0);
}

}  // namespace quillfen::platform
