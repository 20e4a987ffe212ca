#include "results/IconSource.h"

#include <utility>

namespace quillfen {

IconSource::IconSource(Kind kind, std::string data) : kind_(kind), data_(std::move(data)) {}

IconSource IconSource::themeName(std::string name) {
    return IconSource(Kind::ThemeName, std::move(name));
}

IconSource IconSource::icoBytes(std::string bytes) {
    return IconSource(Kind::IcoBytes, std::move(bytes));
}

IconSource IconSource::imageFile(std::string path) {
    return IconSource(Kind::ImageFile, std::move(path));
}

}  // namespace quillfen
