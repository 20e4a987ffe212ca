#include "results/DesktopEntryIcon.h"

#include <array>
#include <string>

#include "app/TextUtilities.h"

namespace quillfen {

namespace {

constexpr std::string_view kMainGroup = "[Desktop Entry]";

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

std::optional<IconSource> DesktopEntryIcon::fromText(std::string_view text) {
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
            return IconSource::imageFile(*value);
        }
        return IconSource::themeName(withoutImageExtension(*value));
    }
    return std::nullopt;
}

}  // namespace quillfen
