#include "platform/linux/DesktopEntryIcon.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "platform/linux/LinuxFileSystem.h"

namespace quillfen::platform {

namespace {

constexpr std::string_view kMainGroup = "[Desktop Entry]";
constexpr std::string_view kEntryExtension = ".desktop";

bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trimWhiteSpace(std::string_view text) {
    while (!text.empty() && isWhiteSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isWhiteSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The format escapes blanks and backslashes in string values.
std::string unescape(std::string_view value) {
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size() &&
            (value[i + 1] == 's' || value[i + 1] == '\\')) {
            text.push_back(value[++i] == 's' ? ' ' : '\\');
        } else {
            text.push_back(value[i]);
        }
    }
    return text;
}

// Names in the theme carry no file extension, but entries written by hand often add one.
std::string withoutImageExtension(std::string name) {
    for (const std::string_view extension :
         std::array<std::string_view, 3>{".png", ".svg", ".xpm"}) {
        if (name.size() > extension.size() && name.ends_with(extension)) {
            name.resize(name.size() - extension.size());
            break;
        }
    }
    return name;
}

std::optional<std::string> iconValueOfLine(std::string_view line) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos || trimWhiteSpace(line.substr(0, equals)) != "Icon") {
        return std::nullopt;
    }
    return unescape(trimWhiteSpace(line.substr(equals + 1)));
}

}  // namespace

bool DesktopEntryIcon::isEntryPath(std::string_view path) {
    if (path.size() <= kEntryExtension.size()) {
        return false;
    }
    const std::string_view end = path.substr(path.size() - kEntryExtension.size());
    return std::equal(end.begin(), end.end(), kEntryExtension.begin(),
                      [](char a, char b) { return lowerAscii(a) == b; });
}

std::optional<NamedIcon> DesktopEntryIcon::fromText(std::string_view text) {
    bool inMainGroup = false;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = std::min(text.find('\n', start), text.size());
        const std::string_view line = trimWhiteSpace(text.substr(start, end - start));
        start = end + 1;
        if (line.starts_with('[')) {
            inMainGroup = line == kMainGroup;
            continue;
        }
        const auto value = inMainGroup ? iconValueOfLine(line) : std::nullopt;
        if (!value || value->empty()) {
            continue;
        }
        if (value->front() == '/') {
            return NamedIcon{NamedIcon::Kind::ImageFile, *value};
        }
        return NamedIcon{NamedIcon::Kind::ThemeName, withoutImageExtension(*value)};
    }
    return std::nullopt;
}

std::optional<NamedIcon> DesktopEntryIcon::ofFile(const std::string& path) {
    if (!isEntryPath(path)) {
        return std::nullopt;
    }
    const LinuxFileSystem files;
    const auto file = files.openForRandomAccess(path);
    if (file == nullptr || file->size() <= 0) {
        return std::nullopt;
    }
    const auto size = static_cast<std::uint64_t>(file->size());
    const auto text = readStart(*file, std::min<std::uint64_t>(size, kMaxEntryBytes));
    auto icon = text ? fromText(*text) : std::nullopt;
    if (icon && icon->kind == NamedIcon::Kind::ImageFile &&
        files.kindOf(icon->name) != EntryKind::File) {
        return std::nullopt;
    }
    return icon;
}

}  // namespace quillfen::platform
