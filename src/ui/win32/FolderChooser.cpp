#include "ui/win32/FolderChooser.h"

// clang-format off
#include <objbase.h>
#include <shlobj.h>
// clang-format on

#include "platform/windows/WideText.h"

namespace quillfen::win32 {

std::optional<std::string> browseForFolder(HWND owner, const std::string& title) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring wideTitle = platform::toWide(title);
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = wideTitle.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    std::optional<std::string> chosen;
    if (PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse)) {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(item, path)) {
            chosen = platform::fromWide(path);
        }
        CoTaskMemFree(item);
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return chosen;
}

}  // namespace quillfen::win32
