#pragma once

// clang-format off
#include <windows.h>
// clang-format on

namespace quillfen::win32 {

// Sizes in the program's settings and tables are pixels at 96 dots per inch; the screen a window
// is on may have more.
class ScreenScale {
public:
    static constexpr int kBaseDpi = 96;

    explicit ScreenScale(HWND window);

    // A size at 96 dpi as pixels on this screen, and back.
    int toScreen(int basePixels) const { return MulDiv(basePixels, dpi_, kBaseDpi); }
    int toBase(int screenPixels) const { return MulDiv(screenPixels, kBaseDpi, dpi_); }

private:
    int dpi_;
};

// Registers the common controls the windows use (list view, date pickers, tooltips); once per
// process, before the first window.
void initCommonControls();

}  // namespace quillfen::win32
