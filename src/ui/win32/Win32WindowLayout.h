#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <utility>
#include <vector>

#include "ui/WindowLayoutSettings.h"

namespace quillfen::win32 {

// A search window's size and its result list's column widths, kept between runs in the settings
// file. They are kept as on a screen of 96 dots per inch, as the list's own widths are given, so
// a window moved to a denser screen keeps its proportions; the size is the client area's, the
// part the user sees inside the frame.
class Win32WindowLayout {
public:
    explicit Win32WindowLayout(WindowLayoutSettings settings) : settings_(std::move(settings)) {}

    // The size and widths of the last close; the window's template size and the list's widths
    // are the defaults. A stored client size below `minimumClient` (pixels) or a column narrower
    // than its fixed-form texts is not taken.
    void restore(HWND window, HWND list, SIZE minimumClient,
                 const std::vector<int>& fixedFormWidths) const;
    // A maximized or minimized window keeps the size it returns to.
    void save(HWND window, HWND list) const;

private:
    WindowLayoutSettings settings_;
};

}  // namespace quillfen::win32
