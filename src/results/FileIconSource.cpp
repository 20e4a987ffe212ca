#include "results/FileIconSource.h"

#include <memory>

#include "platform/Platform.h"
#include "results/DesktopEntryIcon.h"
#include "results/IcoFile.h"
#include "results/PeIconReader.h"
#include "search/NamePattern.h"

namespace quillfen {

namespace {

constexpr std::string_view kDesktopEntryExtension = ".desktop";

std::optional<std::string> readStart(platform::RandomAccessFile& file, std::uint64_t count) {
    std::string bytes(count, '\0');
    std::uint64_t done = 0;
    while (done < count) {
        const std::int64_t got = file.readAt(done, bytes.data() + done, count - done);
        if (got <= 0) {
            return std::nullopt;
        }
        done += static_cast<std::uint64_t>(got);
    }
    return bytes;
}

std::optional<IconSource> icoFileIcon(platform::RandomAccessFile& file, std::uint64_t size) {
    if (size > FileIconSource::kMaxIcoFileBytes) {
        return std::nullopt;
    }
    auto bytes = readStart(file, size);
    if (!bytes || !IcoFile::isValid(*bytes)) {
        return std::nullopt;
    }
    return IconSource::icoBytes(std::move(*bytes));
}

std::optional<IconSource> desktopEntryIcon(platform::RandomAccessFile& file, std::uint64_t size) {
    const auto text =
        readStart(file, std::min<std::uint64_t>(size, DesktopEntryIcon::kMaxEntryBytes));
    auto icon = text ? DesktopEntryIcon::fromText(*text) : std::nullopt;
    if (icon && icon->kind() == IconSource::Kind::ImageFile &&
        platform::currentPlatform().files().kindOf(icon->data()) != platform::EntryKind::File) {
        return std::nullopt;
    }
    return icon;
}

bool isDesktopEntryPath(const std::string& path) {
    return path.size() > kDesktopEntryExtension.size() &&
           foldName(path.substr(path.size() - kDesktopEntryExtension.size())) ==
               kDesktopEntryExtension;
}

}  // namespace

std::optional<IconSource> FileIconSource::iconOf(const std::string& path, int index) {
    const auto file = platform::currentPlatform().files().openForRandomAccess(path);
    if (file == nullptr || file->size() <= 0) {
        return std::nullopt;
    }
    const auto size = static_cast<std::uint64_t>(file->size());
    const auto start = readStart(*file, std::min<std::uint64_t>(size, 4));
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
    return isDesktopEntryPath(path) ? desktopEntryIcon(*file, size) : std::nullopt;
}

bool FileIconSource::carriesOwnIcon(const std::string& extension) {
    return extension == ".exe" || extension == ".ico" || extension == kDesktopEntryExtension;
}

}  // namespace quillfen
