#include "results/TypeIconLookup.h"

#include "app/Application.h"
#include "platform/Platform.h"

namespace quillfen {

TypeIconLookup::TypeIconLookup(FolderTypeText& folderTypeText, IconImageList& icons)
    : typeTexts_(folderTypeText), icons_(icons) {}

TypeIconLookup::TypeAndIcon TypeIconLookup::lookupTypeAndIcon(const std::string& name,
                                                              const std::string& folder) {
    TypeAndIcon result;
    result.typeText = typeTexts_.typeTextFor(name, folder);
    const char separator = platform::currentPlatform().files().separator();
    if (!name.empty() && name.back() == separator) {
        result.imageIndex = folderIcon();
    } else {
        result.imageIndex = fileIcon(TypeTextCache::extensionOf(name), folder + name);
    }
    return result;
}

std::string TypeIconLookup::typeTextForExtension(const std::string& extension) {
    return typeTexts_.typeTextForExtension(extension);
}

namespace {

const platform::FileTypes& fileTypes() {
    return platform::currentPlatform().fileTypes();
}

}  // namespace

int TypeIconLookup::folderIcon() {
    if (extensionIconIndex_.contains(kFolderKey)) {
        return extensionIconIndex_.lookup(kFolderKey);
    }
    const int index = icons_.addIcon(fileTypes().folderIcon());
    extensionIconIndex_.set(kFolderKey, index);
    return index;
}

// Types without an icon and types whose files carry their own are not remembered per extension.
int TypeIconLookup::fileIcon(const std::string& extension, const std::string& path) {
    if (extensionIconIndex_.contains(extension)) {
        return extensionIconIndex_.lookup(extension);
    }
    const platform::IconLocation location = fileTypes().extensionIcon(extension);
    switch (location.kind) {
        case platform::IconLocation::Kind::None:
            return icons_.unknownTypeIcon();
        case platform::IconLocation::Kind::FilesOwn:
            return ownIcon(extension, path);
        case platform::IconLocation::Kind::FileIcon:
        case platform::IconLocation::Kind::ThemeName:
        case platform::IconLocation::Kind::IcoBytes:
            break;
    }
    return registeredIcon(extension, location);
}

int TypeIconLookup::registeredIcon(const std::string& extension,
                                   const platform::IconLocation& location) {
    int index = icons_.addIcon(location);
    if (index == StringIndexMap::kAbsent) {
        index = icons_.addIcon(fileTypes().fallbackIcon());
    }
    extensionIconIndex_.set(extension, index);
    return index;
}

int TypeIconLookup::ownIcon(const std::string& extension, const std::string& path) {
    if (Application::instance().showSelfIcon) {
        const int own = icons_.addIconFromFile(path, 0);
        if (own >= 0) {
            return own;
        }
    }
    return genericIconFor(extension);
}

int TypeIconLookup::genericIconFor(const std::string& extension) {
    return extension == ".exe" ? icons_.genericExeIcon() : icons_.unknownTypeIcon();
}

}  // namespace quillfen
