#pragma once

#include "platform/linux/MimeTypeLookup.h"

namespace quillfen::platform {

// The shared MIME-info database through Qt's reader of it, as the desktop's file managers name
// the types.
class QtMimeTypeLookup final : public MimeTypeLookup {
public:
    std::string typeNameForExtension(const std::string& extension) const override;
    std::string folderTypeName() const override;
    IconLocation extensionIcon(const std::string& extension) const override;
};

}  // namespace quillfen::platform
