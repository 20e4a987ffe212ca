#include "ui/win32/ScreenScale.h"

// clang-format off
#include <commctrl.h>
// clang-format on

namespace quillfen::win32 {

ScreenScale::ScreenScale(HWND window) : dpi_(kBaseDpi) {
    if (HDC context = GetDC(window)) {
        const int dpi = GetDeviceCaps(context, LOGPIXELSY);
        dpi_ = dpi > 0 ? dpi : kBaseDpi;
        ReleaseDC(window, context);
    }
}

void initCommonControls() {
    const INITCOMMONCONTROLSEX classes{
        sizeof(INITCOMMONCONTROLSEX),
        ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
}

}  // namespace quillfen::win32
