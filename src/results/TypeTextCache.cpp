#include "results/TypeTextCache.h"

#include "platform/Platform.h"
#include "search/NamePattern.h"

namespace quillfen {

TypeTextCache::TypeTextCache(FolderTypeText& folderTypeText) : folderTypeText_(folderTypeText) {}

std::string TypeTextCache::extensionOf(const std::string& name) {
    const auto point = name.rfind('.');
    return point == std::string::npos ? std::string() : foldName(name.substr(point));
}

std::string TypeTextCache::typeTextFor(const std::string& name, const std::string& folder) {
    const char separator = platform::currentPlatform().files().separator();
    if (!name.empty() && name.back() == separator) {
        return folderTypeText_.textFor(folder + name.substr(0, name.size() - 1));
    }
    return typeTextForExtension(extensionOf(name));
}

std::string TypeTextCache::typeTextForExtension(const std::string& extension) {
    const auto known = byExtension_.find(extension);
    if (known != byExtension_.end()) {
        return known->second;
    }
    std::string text = platform::currentPlatform().fileTypes().typeNameForExtension(extension);
    byExtension_.emplace(extension, text);
    return text;
}

}  // namespace quillfen
