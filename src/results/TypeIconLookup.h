#pragma once

#include <string>

#include "platform/IconLocation.h"
#include "results/FolderTypeText.h"
#include "results/IconImageList.h"
#include "results/StringIndexMap.h"
#include "results/TypeTextCache.h"

namespace quillfen {

// A window's type and icon lookup for found entries, learning each extension's type text and icon
// once. Used by one search worker at a time, without a lock; the icon list it fills is shared
// with the user-interface thread and guards itself.
class TypeIconLookup {
public:
    // What a result row shows before its name and in its "Type" column.
    struct TypeAndIcon {
        std::string typeText;
        // An index into the window's icon list; -1 when the row has no icon.
        int imageIndex = -1;

        bool operator==(const TypeAndIcon&) const = default;
    };

    static constexpr const char* kFolderKey = "Folder";

    TypeIconLookup(FolderTypeText& folderTypeText, IconImageList& icons);

    // `name` ends with a separator for a folder; `folder` holds it and ends with one.
    TypeAndIcon lookupTypeAndIcon(const std::string& name, const std::string& folder);
    std::string typeTextForExtension(const std::string& extension);

private:
    int folderIcon();
    int fileIcon(const std::string& extension, const std::string& path);
    // The type's registered icon; when it cannot be had, the desktop's icon for unknown types,
    // kept for the extension all the same.
    int registeredIcon(const std::string& extension, const platform::IconLocation& location);
    // Files that carry their own icon each have a different one, so nothing is kept per extension
    // and a change of the "show self icon" setting shows on the next row.
    int ownIcon(const std::string& extension, const std::string& path);
    int genericIconFor(const std::string& extension);

    TypeTextCache typeTexts_;
    IconImageList& icons_;
    StringIndexMap extensionIconIndex_;
};

}  // namespace quillfen
