#pragma once

#include "platform/FileTypes.h"

namespace quillfen::platform {

// Type names from the shared MIME-info database, as the desktop's file managers show them.
class MimeFileTypes final : public FileTypes {
public:
    std::string typeNameForExtension(const std::string& extension) const override;
    std::string iconNameForExtension(const std::string& extension) const override;
    std::string genericIconNameForExtension(const std::string& extension) const override;
    std::string folderTypeName(const std::string& folderPath) const override;
};

}  // namespace quillfen::platform
