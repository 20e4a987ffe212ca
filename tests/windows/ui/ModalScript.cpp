#include "ModalScript.h"

#include <gtest/gtest.h>

#include <utility>

namespace quillfen::test {

namespace {

constexpr UINT kTickMs = 20;
// Far beyond what any step needs, even on a loaded machine.
constexpr int kTickLimit = 3000;

ModalScript* activeScript = nullptr;

BOOL CALLBACK collectDialog(HWND window, LPARAM found) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (IsWindowVisible(window) && std::wstring(className) == L"#32770") {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK collectText(HWND window, LPARAM texts) {
    reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(windowText(window));
    return TRUE;
}

}  // namespace

ModalScript::ModalScript(std::vector<Step> steps) : steps_(std::move(steps)) {
    activeScript = this;
    timer_ = SetTimer(nullptr, 0, kTickMs, tick);
}

ModalScript::~ModalScript() {
    KillTimer(nullptr, timer_);
    activeScript = nullptr;
}

void CALLBACK ModalScript::tick(HWND, UINT, UINT_PTR, DWORD) {
    if (activeScript != nullptr) {
        activeScript->advance();
    }
}

void ModalScript::advance() {
    if (running_ || finished()) {
        return;
    }
    if (++ticks_ > kTickLimit) {
        giveUp();
        return;
    }
    running_ = true;
    if (steps_[next_]()) {
        ++next_;
    }
    running_ = false;
}

// Repeated on every later tick, so that dialogs that a closed one uncovers are cancelled too.
void ModalScript::giveUp() {
    if (!gaveUp_) {
        ADD_FAILURE() << "step " << next_ << " of the script never succeeded";
        gaveUp_ = true;
    }
    for (HWND dialog : threadDialogs()) {
        PostMessageW(dialog, WM_COMMAND, IDNO, 0);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

std::vector<HWND> threadDialogs() {
    std::vector<HWND> dialogs;
    EnumThreadWindows(GetCurrentThreadId(), collectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

HWND dialogTitled(const std::wstring& caption) {
    for (HWND dialog : threadDialogs()) {
        if (windowText(dialog) == caption) {
            return dialog;
        }
    }
    return nullptr;
}

std::vector<std::wstring> childTexts(HWND window) {
    std::vector<std::wstring> texts;
    EnumChildWindows(window, collectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

std::wstring windowText(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

void pressButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace quillfen::test
