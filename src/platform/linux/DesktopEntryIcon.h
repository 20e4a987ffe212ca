#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "results/IconSource.h"

namespace quillfen {

// The icon a desktop entry (a ".desktop" file) names with its "Icon" key: a name in the icon
// theme, or the absolute path of an image file.
class DesktopEntryIcon {
public:
    // Real entries are a few kilobytes; the reader takes no more than this of a file.
    static constexpr std::size_t kMaxEntryBytes = 64 * 1024;

    // The icon of the "[Desktop Entry]" group; nullopt when it names none.
    static std::optional<IconSource> fromText(std::string_view text);
};

}  // namespace quillfen
