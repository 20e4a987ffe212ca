#include "results/IconImageList.h"

#include "platform/Platform.h"
#include "results/FileIconSource.h"

namespace quillfen {

int IconImageList::addUnderKey(const std::string& key, const SourceFinder& find) {
    if (const int known = indexOfKey(key); known != StringIndexMap::kAbsent) {
        return known;
    }
    auto found = find();
    if (!found) {
        return StringIndexMap::kAbsent;
    }
    const std::lock_guard lock(mutex_);
    const int index = indexByKey_.setIfAbsent(key, static_cast<int>(sources_.size()));
    if (static_cast<std::size_t>(index) == sources_.size()) {
        sources_.push_back(std::make_shared<const IconSource>(std::move(*found)));
    }
    return index;
}

int IconImageList::addIconFromFile(const std::string& file, int index) {
    return addUnderKey(file + "," + std::to_string(index),
                       [&] { return FileIconSource::iconOf(file, index); });
}

int IconImageList::addThemeIcon(const std::string& name, const std::string& genericName) {
    if (name.empty()) {
        return StringIndexMap::kAbsent;
    }
    return addUnderKey("theme:" + name, [&] { return IconSource::themeName(name, genericName); });
}

int IconImageList::addIcon(const platform::IconLocation& location) {
    using Kind = platform::IconLocation::Kind;
    switch (location.kind) {
        case Kind::FileIcon:
            return addIconFromFile(location.name, location.index);
        case Kind::ThemeName:
            return addThemeIcon(location.name, location.genericName);
        case Kind::None:
        case Kind::FilesOwn:
        case Kind::IcoBytes:
            break;
    }
    return StringIndexMap::kAbsent;
}

int IconImageList::addIconAs(const std::string& fixedKey, const LocationFinder& locate) {
    {
        const std::lock_guard lock(mutex_);
        if (indexByKey_.contains(fixedKey)) {
            return indexByKey_.lookup(fixedKey);
        }
    }
    const platform::IconLocation location = locate();
    if (location.kind == platform::IconLocation::Kind::IcoBytes) {
        return addUnderKey(fixedKey, [&] { return IconSource::icoBytes(location.name); });
    }
    const int index = addIcon(location);
    const std::lock_guard lock(mutex_);
    return indexByKey_.setIfAbsent(fixedKey, index);
}

int IconImageList::genericExeIcon() {
    return addIconAs(kGenericProgramKey,
                     [] { return platform::currentPlatform().fileTypes().genericProgramIcon(); });
}

int IconImageList::unknownTypeIcon() {
    return addIconAs(kUnknownTypeKey,
                     [] { return platform::currentPlatform().fileTypes().unknownTypeIcon(); });
}

int IconImageList::indexOfKey(const std::string& key) const {
    const std::lock_guard lock(mutex_);
    return indexByKey_.lookup(key);
}

std::size_t IconImageList::size() const {
    const std::lock_guard lock(mutex_);
    return sources_.size();
}

std::shared_ptr<const IconSource> IconImageList::source(int index) const {
    const std::lock_guard lock(mutex_);
    if (index < 0 || static_cast<std::size_t>(index) >= sources_.size()) {
        return nullptr;
    }
    return sources_[static_cast<std::size_t>(index)];
}

}  // namespace quillfen
