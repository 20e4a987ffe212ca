#include "ui/win32/ControlTextFit.h"

#include <algorithm>
#include <optional>
#include <string>

#include "ui/win32/ScreenScale.h"

namespace quillfen::win32 {

namespace {

// Space between a check box's mark and its text, and between two controls of a row, at 96 dpi.
constexpr int kMarkSpacing = 6;
constexpr int kRowGap = 6;

bool hasMark(HWND control) {
    const auto style = static_cast<LONG>(GetWindowLongPtrW(control, GWL_STYLE)) & BS_TYPEMASK;
    return style == BS_CHECKBOX || style == BS_AUTOCHECKBOX || style == BS_RADIOBUTTON ||
           style == BS_AUTORADIOBUTTON || style == BS_3STATE || style == BS_AUTO3STATE;
}

}  // namespace

int ControlTextFit::neededWidth(HWND control) const {
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    HDC context = GetDC(control);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    const HGDIOBJ previous =
        SelectObject(context, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
    RECT bounds{};
    DrawTextW(context, text.c_str(), length, &bounds, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(context, previous);
    ReleaseDC(control, context);
    const ScreenScale scale(control);
    const int mark =
        hasMark(control) ? GetSystemMetrics(SM_CXMENUCHECK) + scale.toScreen(kMarkSpacing) : 0;
    return bounds.right - bounds.left + mark + scale.toScreen(2);
}

RECT ControlTextFit::placeOf(HWND control) const {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ControlTextFit::place(HWND control, const RECT& rect) const {
    SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ControlTextFit::spreadRow(const std::vector<int>& ids) const {
    const int gap = ScreenScale(dialog_).toScreen(kRowGap);
    std::optional<LONG> previousRight;
    for (const int id : ids) {
        HWND control = GetDlgItem(dialog_, id);
        if (control == nullptr) {
            continue;
        }
        RECT rect = placeOf(control);
        const LONG width = std::max<LONG>(rect.right - rect.left, neededWidth(control));
        if (previousRight && rect.left < *previousRight + gap) {
            rect.left = *previousRight + gap;
        }
        rect.right = rect.left + width;
        place(control, rect);
        previousRight = rect.right;
    }
}

void ControlTextFit::growLeftward(int id, const std::vector<int>& movers, int flexible) const {
    HWND control = GetDlgItem(dialog_, id);
    HWND shrinking = GetDlgItem(dialog_, flexible);
    if (control == nullptr || shrinking == nullptr) {
        return;
    }
    RECT rect = placeOf(control);
    const RECT flexibleRect = placeOf(shrinking);
    const LONG room = (flexibleRect.right - flexibleRect.left) / 2;
    const LONG growth =
        std::min<LONG>(room, std::max<LONG>(0, neededWidth(control) - (rect.right - rect.left)));
    if (growth == 0) {
        return;
    }
    rect.left -= growth;
    place(control, rect);
    for (const int moverId : movers) {
        if (HWND mover = GetDlgItem(dialog_, moverId)) {
            RECT moved = placeOf(mover);
            OffsetRect(&moved, -growth, 0);
            place(mover, moved);
        }
    }
    RECT shrunk = flexibleRect;
    shrunk.right -= growth;
    place(shrinking, shrunk);
}

void ControlTextFit::widenDialogFor(const std::vector<int>& ids, const std::vector<int>& movers,
                                    const std::vector<int>& stretchers) const {
    std::optional<LONG> templateRight;
    LONG neededRight = 0;
    for (const int id : ids) {
        HWND control = GetDlgItem(dialog_, id);
        if (control == nullptr) {
            continue;
        }
        RECT rect = placeOf(control);
        templateRight = std::max(templateRight.value_or(rect.right), rect.right);
        rect.right = rect.left + std::max<LONG>(rect.right - rect.left, neededWidth(control));
        place(control, rect);
        neededRight = std::max(neededRight, rect.right);
    }
    const LONG growth = templateRight ? neededRight - *templateRight : 0;
    if (growth <= 0) {
        return;
    }
    widenDialog(growth);
    for (const int id : movers) {
        if (HWND mover = GetDlgItem(dialog_, id)) {
            RECT moved = placeOf(mover);
            OffsetRect(&moved, growth, 0);
            place(mover, moved);
        }
    }
    for (const int id : stretchers) {
        if (HWND stretcher = GetDlgItem(dialog_, id)) {
            RECT stretched = placeOf(stretcher);
            stretched.right += growth;
            place(stretcher, stretched);
        }
    }
}

void ControlTextFit::widenDialog(LONG growth) const {
    RECT frame{};
    GetWindowRect(dialog_, &frame);
    SetWindowPos(dialog_, nullptr, frame.left - growth / 2, frame.top,
                 frame.right - frame.left + growth, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace quillfen::win32
