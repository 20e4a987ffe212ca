#include "ui/win32/DialogControls.h"

// clang-format off
#include <commctrl.h>
#include <windowsx.h>
// clang-format on

#include "platform/windows/WideText.h"

namespace quillfen::win32 {

namespace {

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

std::wstring comboItem(HWND box, int index) {
    const LRESULT length = SendMessageW(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

}  // namespace

HWND DialogControls::control(int id) const {
    return dialog_ == nullptr ? nullptr : GetDlgItem(dialog_, id);
}

bool DialogControls::isComboBox(HWND window) const {
    wchar_t className[32] = {};
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    return lstrcmpiW(className, WC_COMBOBOXW) == 0;
}

void DialogControls::setText(int id, const std::string& text) {
    if (HWND window = control(id)) {
        SetWindowTextW(window, platform::toWide(text).c_str());
    }
}

std::string DialogControls::text(int id) const {
    HWND window = control(id);
    return window == nullptr ? std::string() : platform::fromWide(windowText(window));
}

void DialogControls::setChecked(int id, bool checked) {
    if (HWND window = control(id)) {
        Button_SetCheck(window, checked ? BST_CHECKED : BST_UNCHECKED);
    }
}

bool DialogControls::isChecked(int id) const {
    HWND window = control(id);
    return window != nullptr && Button_GetCheck(window) == BST_CHECKED;
}

void DialogControls::setEnabled(int id, bool enabled) {
    if (HWND window = control(id)) {
        EnableWindow(window, enabled ? TRUE : FALSE);
    }
}

void DialogControls::setVisible(int id, bool visible) {
    if (HWND window = control(id)) {
        ShowWindow(window, visible ? SW_SHOW : SW_HIDE);
    }
}

// The dialog's own way of moving the focus, so the default button follows it.
void DialogControls::setFocus(int id) {
    if (HWND window = control(id)) {
        SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(window), TRUE);
    }
}

void DialogControls::setItems(int id, const std::vector<std::string>& items) {
    HWND box = control(id);
    if (box == nullptr || !isComboBox(box)) {
        return;
    }
    const std::wstring editText = windowText(box);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items) {
        SendMessageW(box, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(platform::toWide(item).c_str()));
    }
    if ((GetWindowLongPtrW(box, GWL_STYLE) & CBS_DROPDOWNLIST) == CBS_DROPDOWN) {
        SetWindowTextW(box, editText.c_str());
    }
}

void DialogControls::selectItem(int id, int index) {
    if (HWND box = control(id)) {
        SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

int DialogControls::selectedItem(int id) const {
    HWND box = control(id);
    return box == nullptr ? -1 : static_cast<int>(SendMessageW(box, CB_GETCURSEL, 0, 0));
}

void DialogControls::moveItemToTop(int id, int index) {
    HWND box = control(id);
    if (box == nullptr || index < 0 || index >= SendMessageW(box, CB_GETCOUNT, 0, 0)) {
        return;
    }
    const std::wstring moved = comboItem(box, index);
    SendMessageW(box, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageW(box, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(moved.c_str()));
    SetWindowTextW(box, moved.c_str());
}

HWND DialogControls::toolTips() {
    if (toolTips_ == nullptr && dialog_ != nullptr) {
        toolTips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                    WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog_, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
        SendMessageW(toolTips_, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(timing_.visibleMs, 0));
        SendMessageW(toolTips_, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(timing_.initialMs, 0));
        SendMessageW(toolTips_, TTM_SETDELAYTIME, TTDT_RESHOW, MAKELPARAM(timing_.reshowMs, 0));
        SendMessageW(toolTips_, TTM_SETMAXTIPWIDTH, 0, timing_.maxWidth);
        SendMessageW(toolTips_, TTM_ACTIVATE, TRUE, 0);
    }
    return toolTips_;
}

void DialogControls::addHint(HWND tool, const std::wstring& text) {
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = dialog_;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(toolTips(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    SendMessageW(toolTips(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

// A combo box with an edit part receives the mouse in that child, so the hint goes on both.
void DialogControls::setToolTip(int id, const std::string& text) {
    HWND window = control(id);
    if (window == nullptr || toolTips() == nullptr) {
        return;
    }
    const std::wstring wide = platform::toWide(text);
    addHint(window, wide);
    if (isComboBox(window)) {
        COMBOBOXINFO parts{};
        parts.cbSize = sizeof parts;
        if (GetComboBoxInfo(window, &parts) && parts.hwndItem != nullptr &&
            parts.hwndItem != window) {
            addHint(parts.hwndItem, wide);
        }
    }
}

}  // namespace quillfen::win32
