#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "results/IconSource.h"

namespace quillfen {

// The icons that files carry themselves: a Windows program's or library's resource icons, an icon
// file, and the icon that a file of a type the desktop knows names for itself (a desktop entry).
class FileIconSource {
public:
    // Icon files larger than this are refused rather than read into memory.
    static constexpr std::uint64_t kMaxIcoFileBytes = 16 * 1024 * 1024;

    // Icon number `index` of the file (a negative index names a program's icon group by its
    // resource identifier); an icon file and a file naming its icon have only icon 0. nullopt when
    // the file carries no such icon, or names an image file that is not there.
    static std::optional<IconSource> iconOf(const std::string& path, int index);

    // Extensions (lower-cased, with their point) of the file types whose icon is each file's own.
    static bool carriesOwnIcon(const std::string& extension);
};

}  // namespace quillfen
