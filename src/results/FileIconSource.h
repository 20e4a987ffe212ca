#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/IconLocation.h"
#include "results/IconSource.h"

namespace quillfen {

// The icons that files carry themselves. Where the system extracts icons, it is asked; elsewhere
// the program reads a Windows program's or library's resource icons and icon files itself, and
// asks the desktop for the icon that a file of a type it knows names for itself (a desktop entry).
class FileIconSource {
public:
    // Icon files larger than this are refused rather than read into memory.
    static constexpr std::uint64_t kMaxIcoFileBytes = 16 * 1024 * 1024;

    // Icon number `index` of the file (a negative index names a program's icon group by its
    // resource identifier); an icon file and a file naming its icon have only icon 0. nullopt when
    // the file carries no such icon, or names an image file that is not there.
    static std::optional<IconSource> iconOf(const std::string& path, int index);

    // The icon at a location the desktop gave; nullopt for no icon, and for a type whose files
    // carry their own, which only a file can tell.
    static std::optional<IconSource> iconAt(const platform::IconLocation& location);
};

}  // namespace quillfen
