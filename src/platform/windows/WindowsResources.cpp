#include "platform/windows/WindowsResources.h"

#include <windows.h>

namespace quillfen::platform {

namespace {

constexpr WORD kDownloaderResource = 130;

}  // namespace

// A loaded resource of the executable stays mapped for the life of the process and needs no
// release, so the span stays valid.
std::span<const std::uint8_t> WindowsResources::downloaderArchive() const {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(kDownloaderResource), L"BIN");
    if (found == nullptr) {
        return {};
    }
    HGLOBAL loaded = LoadResource(nullptr, found);
    const DWORD size = SizeofResource(nullptr, found);
    if (loaded == nullptr || size == 0) {
        return {};
    }
    const void* bytes = LockResource(loaded);
    if (bytes == nullptr) {
        return {};
    }
    return {static_cast<const std::uint8_t*>(bytes), size};
}

}  // namespace quillfen::platform
