#pragma once

#include "platform/FileTypes.h"

namespace quillfen::platform {

// Type names from the shared MIME-info database, as the desktop's file managers show them, icons
// by their names in the desktop's icon theme, and the icons that desktop entries name. Windows
// programs, icon files and desktop entries carry their own icons. The database is read through
// Qt, loaded only when a type is first asked for.
class MimeFileTypes final : public FileTypes {
public:
    static constexpr const char* kFolderIconName = "folder";
    static constexpr const char* kGenericProgramIconName = "application-x-executable";
    static constexpr const char* kUnknownTypeIconName = "application-x-generic";

    std::string typeNameForExtension(const std::string& extension) const override;
    std::string folderTypeName(const std::string& folderPath) const override;
    IconLocation extensionIcon(const std::string& extension) const override;
    IconLocation folderIcon() const override;
    IconLocation unknownTypeIcon() const override;
    // A theme always has the unknown type's icon, so there is nothing further to fall back on.
    IconLocation fallbackIcon() const override;
    IconLocation genericProgramIcon() const override;
    std::optional<NamedIcon> iconNamedBy(const std::string& path) const override;
};

}  // namespace quillfen::platform
