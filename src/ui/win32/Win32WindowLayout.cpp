#include "ui/win32/Win32WindowLayout.h"

// clang-format off
#include <commctrl.h>
// clang-format on

#include <iterator>

#include "ui/win32/ScreenScale.h"

namespace quillfen::win32 {

namespace {

constexpr int kRememberedColumns = static_cast<int>(std::size(WindowLayoutSettings::kColumnKeys));

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

// The window's size and column widths now, at 96 dpi.
WindowLayout currentLayout(HWND window, HWND list, const ScreenScale& scale) {
    const SIZE size = normalClientSize(window);
    WindowLayout layout{scale.toBase(size.cx), scale.toBase(size.cy), {}};
    for (int column = 0; column < kRememberedColumns; ++column) {
        layout.columnWidths.push_back(scale.toBase(ListView_GetColumnWidth(list, column)));
    }
    return layout;
}

}  // namespace

void Win32WindowLayout::restore(HWND window, HWND list, SIZE minimumClient,
                                const std::vector<int>& fixedFormWidths) const {
    const ScreenScale scale(window);
    WindowLayoutSettings settings = settings_;
    settings.setMinimumSize(scale.toBase(minimumClient.cx), scale.toBase(minimumClient.cy));
    std::vector<int> minimumWidths;
    for (const int width : fixedFormWidths) {
        minimumWidths.push_back(scale.toBase(width));
    }
    settings.setMinimumColumnWidths(std::move(minimumWidths));
    const WindowLayout layout = settings.load(currentLayout(window, list, scale));
    RECT frame{0, 0, scale.toScreen(layout.width), scale.toScreen(layout.height)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (int column = 0; column < kRememberedColumns; ++column) {
        ListView_SetColumnWidth(
            list, column, scale.toScreen(layout.columnWidths.at(static_cast<std::size_t>(column))));
    }
}

void Win32WindowLayout::save(HWND window, HWND list) const {
    settings_.save(currentLayout(window, list, ScreenScale(window)));
}

}  // namespace quillfen::win32
