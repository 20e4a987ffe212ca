#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/NamedIcon.h"

namespace quillfen::platform {

// The icon a desktop entry (a ".desktop" file) names with its "Icon" key: a name in the icon
// theme, or the absolute path of an image file.
class DesktopEntryIcon {
public:
    // Real entries are a few kilobytes; the reader takes no more than this of a file.
    static constexpr std::size_t kMaxEntryBytes = 64 * 1024;

    // True for ".desktop" in any case.
    static bool isEntryPath(std::string_view path);
    // The icon of the "[Desktop Entry]" group; nullopt when it names none.
    static std::optional<NamedIcon> fromText(std::string_view text);
    // The icon of the entry file at the path; nullopt when the path is no desktop entry, cannot be
    // read, names no icon, or names an image file that is not there.
    static std::optional<NamedIcon> ofFile(const std::string& path);
};

}  // namespace quillfen::platform
