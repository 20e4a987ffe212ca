#include "results/IconSource.h"

#include <utility>

namespace quillfen {

IconSource::IconSource(Kind kind, std::string data, std::string genericName)
    : kind_(kind), data_(std::move(data)), genericName_(std::move(genericName)) {}

IconSource IconSource::themeName(std::string name, std::string genericName) {
    return IconSource(Kind::ThemeName, std::move(name), std::move(genericName));
}

IconSource IconSource::icoBytes(std::string bytes) {
    return IconSource(Kind::IcoBytes, std::move(bytes));
}

IconSource IconSource::imageFile(std::string path) {
    return IconSource(Kind::ImageFile, std::move(path));
}

}  // namespace quillfen
