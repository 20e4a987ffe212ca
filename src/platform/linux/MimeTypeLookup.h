#pragma once

#include <string>

#include "platform/IconLocation.h"

namespace quillfen::platform {

// The part of the file types that the shared MIME-info database answers.
class MimeTypeLookup {
public:
    virtual ~MimeTypeLookup() = default;

    // The name of the type that the extension (".txt", or empty) alone gives.
    virtual std::string typeNameForExtension(const std::string& extension) const = 0;
    virtual std::string folderTypeName() const = 0;
    // The theme icon of the extension's type; none for the catch-all type.
    virtual IconLocation extensionIcon(const std::string& extension) const = 0;
};

}  // namespace quillfen::platform
