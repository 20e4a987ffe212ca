#pragma once

#include <string>
#include <unordered_map>

#include "results/FolderTypeText.h"

namespace quillfen {

// A window's type texts per extension: the desktop's name for the type, judged by the extension
// alone, fetched once per lower-cased extension.
class TypeTextCache {
public:
    explicit TypeTextCache(FolderTypeText& folderTypeText);

    // `name` ends with a separator for a folder; `folder` is the folder holding it.
    std::string typeTextFor(const std::string& name, const std::string& folder);
    std::string typeTextForExtension(const std::string& extension);

    // The lower-cased extension with its point ("" when the name has no point).
    static std::string extensionOf(const std::string& name);

private:
    FolderTypeText& folderTypeText_;
    std::unordered_map<std::string, std::string> byExtension_;
};

}  // namespace quillfen
