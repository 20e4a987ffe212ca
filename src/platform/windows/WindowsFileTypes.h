#pragma once

#include "platform/FileTypes.h"

namespace quillfen::platform {

// Type names as the shell shows them in its folder windows, from SHGetFileInfoW. An extension's
// type is asked for a name that need not exist ("1" and the extension) with the file-attributes
// request, so no file is touched and the answer depends on the extension alone; a folder's type
// is asked of the real folder. Icons come from the program's own icon list, so no icon name is
// given here.
class WindowsFileTypes final : public FileTypes {
public:
    std::string typeNameForExtension(const std::string& extension) const override;
    std::string iconNameForExtension(const std::string& extension) const override;
    std::string genericIconNameForExtension(const std::string& extension) const override;
    std::string folderTypeName(const std::string& folderPath) const override;
};

}  // namespace quillfen::platform
