#pragma once

#include <optional>
#include <string>

#include "platform/NamedIcon.h"

namespace quillfen::platform {

// Names of file types as the desktop shows them ("Plain text document", "Folder").
class FileTypes {
public:
    virtual ~FileTypes() = default;

    // The type of a name with this extension (".txt", or empty for none), judged by the
    // extension alone.
    virtual std::string typeNameForExtension(const std::string& extension) const = 0;
    // The icon-theme name of the icon for that type, judged the same way; empty when the desktop
    // knows no type for the extension.
    virtual std::string iconNameForExtension(const std::string& extension) const = 0;
    // The icon-theme name of the broader kind the type belongs to ("image-x-generic" for a PNG
    // image), which themes that lack the type's own icon still have; empty when unknown.
    virtual std::string genericIconNameForExtension(const std::string& extension) const = 0;
    // The type of the folder at this path.
    virtual std::string folderTypeName(const std::string& folderPath) const = 0;

    // True when files with this extension (lower-cased, with its point) name their icon in their
    // own text, as desktop entries do, so that each such file has an icon of its own. Most
    // file-type databases know no such files.
    virtual bool namesOwnIcon(const std::string& /*extension*/) const { return false; }
    // The icon the file at the path names for itself; nullopt when its type names none, the file
    // names none, or it names an image file that is not there.
    virtual std::optional<NamedIcon> iconNamedBy(const std::string& /*path*/) const {
        return std::nullopt;
    }
};

}  // namespace quillfen::platform
