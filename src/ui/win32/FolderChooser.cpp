#include "ui/win32/FolderChooser.h"

// clang-format off
#include <shlobj.h>
// clang-format on

#include <vector>

#include "platform/windows/WideText.h"

namespace quillfen::win32 {

namespace {

// Long enough for a path beyond MAX_PATH.
constexpr DWORD kPathCapacity = 32768;

// The chooser needs a single-threaded apartment; a thread that has another keeps it.
class ShellApartment {
public:
    ShellApartment()
        : joined_(SUCCEEDED(
              CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ShellApartment() {
        if (joined_) {
            CoUninitialize();
        }
    }
    ShellApartment(const ShellApartment&) = delete;
    ShellApartment& operator=(const ShellApartment&) = delete;

private:
    bool joined_;
};

std::optional<std::string> folderPathOf(PCIDLIST_ABSOLUTE item) {
    std::vector<wchar_t> path(kPathCapacity, L'\0');
    if (!SHGetPathFromIDListEx(item, path.data(), kPathCapacity, GPFIDL_DEFAULT) ||
        path[0] == L'\0') {
        return std::nullopt;
    }
    std::wstring folder(path.data());
    if (folder.back() != L'\\') {
        folder += L'\\';
    }
    return platform::fromWide(folder);
}

}  // namespace

std::optional<std::string> browseForFolder(HWND owner, const std::string& title) {
    const ShellApartment apartment;
    const std::wstring heading = platform::toWide(title.empty() ? "Select a directory..." : title);
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = heading.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse);
    if (item == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> folder = folderPathOf(item);
    CoTaskMemFree(item);
    return folder;
}

}  // namespace quillfen::win32
