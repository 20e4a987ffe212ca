#pragma once

#include "platform/FileTypes.h"

namespace quillfen::platform {

// Type names from the shared MIME-info database, as the desktop's file managers show them, and
// the icons that desktop entries name.
class MimeFileTypes final : public FileTypes {
public:
    std::string typeNameForExtension(const std::string& extension) const override;
    std::string iconNameForExtension(const std::string& extension) const override;
    std::string genericIconNameForExtension(const std::string& extension) const override;
    std::string folderTypeName(const std::string& folderPath) const override;
    // Desktop entries name their own icons.
    bool namesOwnIcon(const std::string& extension) const override;
    std::optional<NamedIcon> iconNamedBy(const std::string& path) const override;
};

}  // namespace quillfen::platform
