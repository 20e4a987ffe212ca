#include "results/TypeIconLookup.h"

#include "app/Application.h"
#include "platform/Platform.h"
#include "results/FileIconSource.h"

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

int TypeIconLookup::folderIcon() {
    if (extensionIconIndex_.contains(kFolderKey)) {
        return extensionIconIndex_.lookup(kFolderKey);
    }
    const int index = icons_.addThemeIcon(kFolderIconName);
    extensionIconIndex_.set(kFolderKey, index);
    return index;
}

int TypeIconLookup::fileIcon(const std::string& extension, const std::string& path) {
    if (FileIconSource::carriesOwnIcon(extension)) {
        return ownIcon(extension, path);
    }
    if (extensionIconIndex_.contains(extension)) {
        return extensionIconIndex_.lookup(extension);
    }
    const platform::FileTypes& types = platform::currentPlatform().fileTypes();
    const std::string iconName = types.iconNameForExtension(extension);
    if (iconName.empty()) {
        return icons_.unknownTypeIcon();
    }
    const int index = icons_.addThemeIcon(iconName, types.genericIconNameForExtension(extension));
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
