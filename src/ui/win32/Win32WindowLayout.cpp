#include "ui/win32/Win32WindowLayout.h"

// clang-format off
#include <commctrl.h>
// clang-format on

#include <iterator>

namespace quillfen::win32 {

namespace {

constexpr int kBaseDpi = 96;
constexpr int kRememberedColumns = static_cast<int>(std::size(WindowLayoutSettings::kColumnKeys));

int dpiOf(HWND window) {
    HDC context = GetDC(window);
    const int dpi = context == nullptr ? kBaseDpi : GetDeviceCaps(context, LOGPIXELSY);
    if (context != nullptr) {
        ReleaseDC(window, context);
    }
    return dpi > 0 ? dpi : kBaseDpi;
}

// The client size of the window in its normal, restored state.
SIZE normalClientSize(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (IsZoomed(window) || IsIconic(window)) {
        GetWindowPlacement(window, &placement);
        RECT frame{};
        AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
        const RECT& normal = placement.rcNormalPosition;
        return SIZE{(normal.right - normal.left) - (frame.right - frame.left),
                    (normal.bottom - normal.top) - (frame.bottom - frame.top)};
    }
    RECT client{};
    GetClientRect(window, &client);
    return SIZE{client.right, client.bottom};
}

}  // namespace

void Win32WindowLayout::restore(HWND window, HWND list) const {
    const int dpi = dpiOf(window);
    const SIZE size = normalClientSize(window);
    WindowLayout defaults{MulDiv(size.cx, kBaseDpi, dpi), MulDiv(size.cy, kBaseDpi, dpi), {}};
    for (int column = 0; column < kRememberedColumns; ++column) {
        defaults.columnWidths.push_back(
            MulDiv(ListView_GetColumnWidth(list, column), kBaseDpi, dpi));
    }
    const WindowLayout layout = settings_.load(defaults);
    RECT frame{0, 0, MulDiv(layout.width, dpi, kBaseDpi), MulDiv(layout.height, dpi, kBaseDpi)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (int column = 0; column < kRememberedColumns; ++column) {
        ListView_SetColumnWidth(
            list, column,
            MulDiv(layout.columnWidths.at(static_cast<std::size_t>(column)), dpi, kBaseDpi));
    }
}

void Win32WindowLayout::save(HWND window, HWND list) const {
    const int dpi = dpiOf(window);
    const SIZE size = normalClientSize(window);
    WindowLayout layout{MulDiv(size.cx, kBaseDpi, dpi), MulDiv(size.cy, kBaseDpi, dpi), {}};
    for (int column = 0; column < kRememberedColumns; ++column) {
        layout.columnWidths.push_back(MulDiv(ListView_GetColumnWidth(list, column), kBaseDpi, dpi));
    }
    settings_.save(layout);
}

}  // namespace quillfen::win32
