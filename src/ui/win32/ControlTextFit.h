#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <vector>

namespace quillfen::win32 {

// Check boxes, radio buttons and labels made wide enough for their translated texts, measured in
// the dialog's font: the templates are drawn for English, and German or a larger font would cut
// their texts short.
class ControlTextFit {
public:
    explicit ControlTextFit(HWND dialog) : dialog_(dialog) {}

    // The width in pixels that the control needs to show its whole text, box or mark included.
    int neededWidth(HWND control) const;
    // Controls standing in one row, left to right: each grows to its text, and one that grows
    // pushes the rest of the row to the right.
    void spreadRow(const std::vector<int>& ids) const;
    // A control at the right end of a row grows to the left: the controls in `movers` move left
    // with its left edge and `flexible`, the one before them, gives up the width.
    void growLeftward(int id, const std::vector<int>& movers, int flexible) const;
    // Controls that each stand alone in their rows grow to their texts. When one of them then
    // reaches past the right edge of the widest as the template drew it, the top-level dialog
    // widens by as much about its centre, keeping its right margin: `movers` keep their distance
    // to its right edge and `stretchers` widen with it.
    void widenDialogFor(const std::vector<int>& ids, const std::vector<int>& movers,
                        const std::vector<int>& stretchers) const;

private:
    RECT placeOf(HWND control) const;
    void place(HWND control, const RECT& rect) const;
    void widenDialog(LONG growth) const;

    HWND dialog_;
};

}  // namespace quillfen::win32
