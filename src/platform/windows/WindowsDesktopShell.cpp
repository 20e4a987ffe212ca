#include "platform/windows/WindowsDesktopShell.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
// clang-format on

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
