#pragma once

#include <optional>
#include <string>

#include "platform/IconLocation.h"
#include "platform/NamedIcon.h"

namespace quillfen::platform {

// File types as the desktop shows them: their names ("Plain text document", "Folder") and where
// their icons come from.
class FileTypes {
public:
    virtual ~FileTypes() = default;

    // The type of a name with this extension (".txt", or empty for none), judged by the
    // extension alone.
    virtual std::string typeNameForExtension(const std::string& extension) const = 0;
    // The type of the folder at this path.
    virtual std::string folderTypeName(const std::string& folderPath) const = 0;

    // The icon of the type of names with this extension (lower-cased, with its point, or empty),
    // judged the same way: None when the desktop registers no icon for it, FilesOwn when each
    // such file carries its own.
    virtual IconLocation extensionIcon(const std::string& extension) const = 0;
    // The icon of every folder.
    virtual IconLocation folderIcon() const = 0;
    // The icon of a file whose type has none.
    virtual IconLocation unknownTypeIcon() const = 0;
    // The icon the desktop registers for unknown types, taken when a type's own registered icon
    // cannot be had.
    virtual IconLocation fallbackIcon() const = 0;
    // The icon of programs in general.
    virtual IconLocation genericProgramIcon() const = 0;

    // True when the system itself takes icons out of files (extractIcon); otherwise the program
    // reads programs' resource icons and icon files itself and asks iconNamedBy for the rest.
    virtual bool extractsIcons() const { return false; }
    // Icon number `index` of the file as the bytes of an .ico file (a negative index names an
    // icon group by its resource identifier); nullopt when the file gives no such icon.
    virtual std::optional<std::string> extractIcon(const std::string& /*path*/,
                                                   int /*index*/) const {
        return std::nullopt;
    }
    // The icon the file at the path names for itself; nullopt when its type names none, the file
    // names none, or it names an image file that is not there.
    virtual std::optional<NamedIcon> iconNamedBy(const std::string& /*path*/) const {
        return std::nullopt;
    }
};

}  // namespace quillfen::platform
