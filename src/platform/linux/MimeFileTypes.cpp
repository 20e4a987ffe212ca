#include "platform/linux/MimeFileTypes.h"

#include "platform/linux/DesktopEntryIcon.h"
#include "platform/linux/PlatformModules.h"

namespace quillfen::platform {

// Without the MIME database a type has no name, as the catch-all type's name is empty too.
std::string MimeFileTypes::typeNameForExtension(const std::string& extension) const {
    const MimeTypeLookup* lookup = PlatformModules::mimeTypes();
    return lookup != nullptr ? lookup->typeNameForExtension(extension) : std::string();
}

IconLocation MimeFileTypes::extensionIcon(const std::string& extension) const {
    if (extension == ".exe" || extension == ".ico" || extension == ".desktop") {
        return IconLocation::filesOwn();
    }
    const MimeTypeLookup* lookup = PlatformModules::mimeTypes();
    return lookup != nullptr ? lookup->extensionIcon(extension) : IconLocation::none();
}

IconLocation MimeFileTypes::folderIcon() const {
    return IconLocation::themeName(kFolderIconName);
}

IconLocation MimeFileTypes::unknownTypeIcon() const {
    return IconLocation::themeName(kUnknownTypeIconName);
}

IconLocation MimeFileTypes::fallbackIcon() const {
    return unknownTypeIcon();
}

IconLocation MimeFileTypes::genericProgramIcon() const {
    return IconLocation::themeName(kGenericProgramIconName);
}

std::string MimeFileTypes::folderTypeName(const std::string&) const {
    const MimeTypeLookup* lookup = PlatformModules::mimeTypes();
    return lookup != nullptr ? lookup->folderTypeName() : std::string();
}

std::optional<NamedIcon> MimeFileTypes::iconNamedBy(const std::string& path) const {
    return DesktopEntryIcon::ofFile(path);
}

}  // namespace quillfen::platform
