#include "platform/windows/WindowsMappedFile.h"

#include <windows.h>

#include "platform/windows/WindowsHandle.h"

namespace quillfen::platform {

std::unique_ptr<MappedFile> WindowsMappedFile::open(const std::wstring& path) {
    if (path.empty()) {
        return nullptr;
    }
    const WindowsHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes &
         (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        return nullptr;
    }
    const auto size =
        (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    if (size == 0) {
        return std::unique_ptr<MappedFile>(new WindowsMappedFile(std::string_view()));
    }
    const WindowsHandle mapping(
        CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    // The view keeps the mapping, and the mapping the file, open after both handles are closed.
    const void* view =
        mapping.valid() ? MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (view == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<MappedFile>(
        new WindowsMappedFile({static_cast<const char*>(view), static_cast<std::size_t>(size)}));
}

WindowsMappedFile::~WindowsMappedFile() {
    if (!bytes().empty()) {
        UnmapViewOfFile(bytes().data());
    }
}

}  // namespace quillfen::platform
