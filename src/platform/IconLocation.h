#pragma once

#include <string>
#include <utility>

namespace quillfen::platform {

// Where the desktop keeps one icon, told in the desktop's own terms: an icon inside a file, a name
// in the icon theme, or the icon itself. The program extracts and caches by this.
struct IconLocation {
    enum class Kind {
        // The desktop has no icon for it.
        None,
        // Every file of the type carries an icon of its own: icon 0 of the file itself.
        FilesOwn,
        // Icon number `index` of the file `name`; a negative index names an icon group by its
        // resource identifier.
        FileIcon,
        // `name` in the desktop's icon theme; `genericName` names the broader kind's icon, for
        // themes that lack the named one.
        ThemeName,
        // The icon itself, the bytes of an .ico file in `name`, as the desktop hands it out.
        IcoBytes,
    };

    Kind kind = Kind::None;
    std::string name;
    int index = 0;
    std::string genericName;

    static IconLocation none() { return {}; }
    static IconLocation filesOwn() { return {Kind::FilesOwn, {}, 0, {}}; }
    static IconLocation fileIcon(std::string file, int index) {
        return {Kind::FileIcon, std::move(file), index, {}};
    }
    static IconLocation themeName(std::string name, std::string genericName = {}) {
        return {Kind::ThemeName, std::move(name), 0, std::move(genericName)};
    }
    static IconLocation icoBytes(std::string bytes) {
        return {Kind::IcoBytes, std::move(bytes), 0, {}};
    }

    bool operator==(const IconLocation&) const = default;
};

}  // namespace quillfen::platform
