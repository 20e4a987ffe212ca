#include "platform/windows/WindowsDesktopShell.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
// clang-format on

#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/windows/ClipboardFormats.h"
#include "platform/windows/ComScope.h"
#include "platform/windows/LongPath.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsProcessLauncher.h"
#include "platform/windows/WindowsTextServices.h"

namespace quillfen::platform {

namespace {

// FindExecutableW answers above this on success.
constexpr INT_PTR kLastShellError = 32;
// Another program may hold the clipboard for a moment while it reads or writes it.
constexpr int kClipboardAttempts = 5;
constexpr DWORD kClipboardRetryMs = 20;

// A block of global memory as the clipboard takes it, freed unless the clipboard took it.
class ClipboardBlock {
public:
    ClipboardBlock(UINT format, const std::string& bytes)
        : format_(format),
          memory_(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, bytes.size())) {
        if (void* data = memory_ != nullptr ? GlobalLock(memory_) : nullptr; data != nullptr) {
            std::memcpy(data, bytes.data(), bytes.size());
            GlobalUnlock(memory_);
        }
    }
    ClipboardBlock(ClipboardBlock&& other) noexcept
        : format_(other.format_), memory_(std::exchange(other.memory_, nullptr)) {}
    ClipboardBlock(const ClipboardBlock&) = delete;
    ClipboardBlock& operator=(const ClipboardBlock&) = delete;
    ClipboardBlock& operator=(ClipboardBlock&&) = delete;
    ~ClipboardBlock() {
        if (memory_ != nullptr) {
            GlobalFree(memory_);
        }
    }

    // The clipboard owns the memory once it has taken it.
    void handOver() {
        if (memory_ != nullptr && SetClipboardData(format_, memory_) != nullptr) {
            memory_ = nullptr;
        }
    }

private:
    UINT format_;
    HGLOBAL memory_;
};

bool openClipboard() {
    for (int attempt = 0; attempt < kClipboardAttempts; ++attempt) {
        if (OpenClipboard(nullptr)) {
            return true;
        }
        Sleep(kClipboardRetryMs);
    }
    return false;
}

// Replaces the whole clipboard with the blocks; when the clipboard cannot be opened it stays as
// it was.
void replaceClipboard(std::vector<ClipboardBlock> blocks) {
    if (!openClipboard()) {
        return;
    }
    EmptyClipboard();
    for (ClipboardBlock& block : blocks) {
        block.handOver();
    }
    CloseClipboard();
}

bool selectInExplorer(const std::wstring& path) {
    const ComScope com;
    PIDLIST_ABSOLUTE item = ILCreateFromPathW(path.c_str());
    if (item == nullptr) {
        return false;
    }
    const HRESULT result = SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
    ILFree(item);
    return SUCCEEDED(result);
}

// FormatMessageW's text where the code is a system error; SHFileOperationW also answers with
// codes of its own, shown as numbers.
std::string shellErrorText(int code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length > 0 && text != nullptr ? std::wstring(text, length) : L"";
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.')) {
        message.pop_back();
    }
    if (!message.empty()) {
        return fromWide(message);
    }
    char number[32] = {};
    std::snprintf(number, sizeof number, "error 0x%X", static_cast<unsigned>(code));
    return number;
}

}  // namespace

void WindowsDesktopShell::openWithDefaultApplication(const std::string& path) {
    const ComScope com;
    const std::wstring file = shellSpelling(path);
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_FLAG_NO_UI;
    execute.lpVerb = L"open";
    execute.lpFile = file.c_str();
    execute.nShow = SW_SHOWDEFAULT;
    ShellExecuteExW(&execute);
}

bool WindowsDesktopShell::hasDefaultApplication(const std::string& path) const {
    wchar_t program[MAX_PATH] = {};
    const HINSTANCE found = FindExecutableW(shellSpelling(path).c_str(), nullptr, program);
    return reinterpret_cast<INT_PTR>(found) > kLastShellError;
}

void WindowsDesktopShell::showInFolder(const std::string& path) {
    const std::wstring spelt = shellSpelling(path);
    if (selectInExplorer(spelt)) {
        return;
    }
    WindowsProcessLauncher().launch({"explorer.exe", "/select,", fromWide(spelt)}, LaunchOptions{});
}

void WindowsDesktopShell::putFilesOnClipboard(const std::vector<std::string>& paths,
                                              FileTransfer transfer) {
    std::vector<ClipboardBlock> blocks;
    blocks.emplace_back(CF_HDROP, ClipboardFormats::dropFiles(paths));
    blocks.emplace_back(RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT),
                        ClipboardFormats::preferredDropEffect(transfer));
    replaceClipboard(std::move(blocks));
}

void WindowsDesktopShell::putTextOnClipboard(const std::string& text) {
    std::vector<ClipboardBlock> blocks;
    blocks.emplace_back(CF_UNICODETEXT, ClipboardFormats::unicodeText(text));
    blocks.emplace_back(
        CF_TEXT, ClipboardFormats::ansiText(text, WindowsTextServices::systemAnsiCodePage()));
    replaceClipboard(std::move(blocks));
}

}  // namespace quillfen::platform

namespace quillfen::platform {

void WindowsDesktopShell::openWithChosenApplication(const std::string& path) {
    const ComScope com;
    const std::wstring file = toWide(path);
    OPENASINFO info{};
    info.pcszFile = file.c_str();
    info.oaifInFlags = OAIF_ALLOW_REGISTRATION | OAIF_REGISTER_EXT | OAIF_EXEC;
    SHOpenWithDialog(GetActiveWindow(), &info);
}

// The path list ends with two zero characters; the shell takes no long-path prefix here. No
// confirmation is asked, as the file stays restorable, but the warning before a deletion for
// good stays on.
std::optional<std::string> WindowsDesktopShell::moveToTrash(const std::string& path) {
    const ComScope com;
    std::wstring from = toWide(path);
    from.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = GetActiveWindow();
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags =
        FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING | FOF_NOERRORUI | FOF_SILENT;
    const int result = SHFileOperationW(&operation);
    if (result == 0 && !operation.fAnyOperationsAborted) {
        return std::nullopt;
    }
    return shellErrorText(result != 0 ? result : ERROR_CANCELLED);
}

}  // namespace quillfen::platform
