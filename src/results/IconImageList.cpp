#include "results/IconImageList.h"

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

int IconImageList::addThemeIconAs(const std::string& fixedKey, const std::string& name) {
    if (const int known = indexOfKey(fixedKey); known != StringIndexMap::kAbsent) {
        return known;
    }
    const int index = addThemeIcon(name);
    const std::lock_guard lock(mutex_);
    return indexByKey_.setIfAbsent(fixedKey, index);
}

int IconImageList::genericExeIcon() {
    return addThemeIconAs(kGenericProgramKey, kGenericProgramIconName);
}

int IconImageList::unknownTypeIcon() {
    return addThemeIconAs(kUnknownTypeKey, kUnknownTypeIconName);
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
