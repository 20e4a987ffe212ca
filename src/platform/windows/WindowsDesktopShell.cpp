#include "platform/windows/WindowsDesktopShell.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cstring>
#include <string_view>

#include "platform/windows/ClipboardFormats.h"
#include "platform/windows/WideText.h"

namespace quillfen::platform {

namespace {

// A movable block holding the bytes, as the clipboard takes it; nullptr when memory is short.
HGLOBAL globalBlock(std::string_view bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size());
    if (block == nullptr) {
        return nullptr;
    }
    if (void* memory = GlobalLock(block)) {
        std::memcpy(memory, bytes.data(), bytes.size());
        GlobalUnlock(block);
        return block;
    }
    GlobalFree(block);
    return nullptr;
}

// The clipboard owns a block once it is set; a block it refused is freed here.
void setClipboardBlock(UINT format, std::string_view bytes) {
    HGLOBAL block = globalBlock(bytes);
    if (block != nullptr && SetClipboardData(format, block) == nullptr) {
        GlobalFree(block);
    }
}

}  // namespace

void WindowsDesktopShell::openWithDefaultApplication(const std::string& path) {
    const std::wstring file = toWide(path);
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOASYNC;
    execute.lpVerb = L"open";
    execute.lpFile = file.c_str();
    execute.nShow = SW_SHOWDEFAULT;
    ShellExecuteExW(&execute);
}

bool WindowsDesktopShell::hasDefaultApplication(const std::string& path) const {
    wchar_t program[MAX_PATH] = {};
    const auto result =
        reinterpret_cast<INT_PTR>(FindExecutableW(toWide(path).c_str(), L"", program));
    return result > 32 && program[0] != L'\0';
}

void WindowsDesktopShell::showInFolder(const std::string& path) {
    const std::wstring parameters = L"/select," + toWide(path);
    ShellExecuteW(nullptr, L"open", L"explorer.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

void WindowsDesktopShell::putFilesOnClipboard(const std::vector<std::string>& paths,
                                              FileTransfer transfer) {
    if (!OpenClipboard(nullptr)) {
        return;
    }
    EmptyClipboard();
    setClipboardBlock(CF_HDROP, ClipboardFormats::dropFiles(paths));
    setClipboardBlock(RegisterClipboardFormatW(L"Preferred DropEffect"),
                      ClipboardFormats::preferredDropEffect(transfer));
    CloseClipboard();
}

void WindowsDesktopShell::putTextOnClipboard(const std::string& text) {
    if (!OpenClipboard(nullptr)) {
        return;
    }
    EmptyClipboard();
    setClipboardBlock(CF_UNICODETEXT, ClipboardFormats::unicodeText(text));
    setClipboardBlock(CF_TEXT, ClipboardFormats::ansiText(text, GetACP()));
    CloseClipboard();
}

}  // namespace quillfen::platform
