#include "results/FileIconSource.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/Platform.h"
#include "results/IcoFile.h"
#include "results/PeIconReader.h"

namespace quillfen {

namespace {

std::optional<IconSource> icoFileIcon(platform::RandomAccessFile& file, std::uint64_t size) {
    if (size > FileIconSource::kMaxIcoFileBytes) {
        return std::nullopt;
    }
    auto bytes = platform::readStart(file, size);
    if (!bytes || !IcoFile::isValid(*bytes)) {
        return std::nullopt;
    }
    return IconSource::icoBytes(std::move(*bytes));
}

IconSource fromNamedIcon(const platform::NamedIcon& icon) {
    return icon.kind == platform::NamedIcon::Kind::ImageFile ? IconSource::imageFile(icon.name)
                                                             : IconSource::themeName(icon.name);
}

// The program's own reading, for systems that do not extract icons themselves.
std::optional<IconSource> readIcon(const std::string& path, int index) {
    const auto file = platform::currentPlatform().files().openForRandomAccess(path);
    if (file == nullptr || file->size() <= 0) {
        return std::nullopt;
    }
    const auto size = static_cast<std::uint64_t>(file->size());
    const auto start = platform::readStart(*file, std::min<std::uint64_t>(size, 4));
    if (start && start->starts_with("MZ")) {
        auto icon = PeIconReader(*file).iconFile(index);
        return icon ? std::optional(IconSource::icoBytes(std::move(*icon))) : std::nullopt;
    }
    if (index != 0) {
        return std::nullopt;
    }
    if (start && *start == std::string_view("\0\0\1\0", 4)) {
        return icoFileIcon(*file, size);
    }
    const auto named = platform::currentPlatform().fileTypes().iconNamedBy(path);
    return named ? std::optional(fromNamedIcon(*named)) : std::nullopt;
}

}  // namespace

std::optional<IconSource> FileIconSource::iconOf(const std::string& path, int index) {
    const platform::FileTypes& types = platform::currentPlatform().fileTypes();
    if (types.extractsIcons()) {
        auto bytes = types.extractIcon(path, index);
        return bytes ? std::optional(IconSource::icoBytes(std::move(*bytes))) : std::nullopt;
    }
    return readIcon(path, index);
}

std::optional<IconSource> FileIconSource::iconAt(const platform::IconLocation& location) {
    using Kind = platform::IconLocation::Kind;
    switch (location.kind) {
        case Kind::FileIcon:
            return iconOf(location.name, location.index);
        case Kind::ThemeName:
            return IconSource::themeName(location.name, location.genericName);
        case Kind::IcoBytes:
            return IconSource::icoBytes(location.name);
        case Kind::None:
        case Kind::FilesOwn:
            break;
    }
    return std::nullopt;
}

}  // namespace quillfen
