#pragma once

#include <string>

namespace quillfen::platform {

// An icon that a file names for itself: a name in the desktop's icon theme, or the path of an
// image file.
struct NamedIcon {
    enum class Kind { ThemeName, ImageFile };

    Kind kind = Kind::ThemeName;
    std::string name;

    bool operator==(const NamedIcon&) const = default;
};

}  // namespace quillfen::platform
