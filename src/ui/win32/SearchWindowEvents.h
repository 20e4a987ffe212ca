#pragma once

// clang-format off
#include <windows.h>
// clang-format on

namespace quillfen {
class ResultListPresenter;
}

namespace quillfen::win32 {

// What a search window's frame hands to the window itself: the events that differ between the
// search window and the duplicate window.
class SearchWindowEvents {
public:
    virtual ~SearchWindowEvents() = default;

    // The dialog exists with its controls; texts, lists and the result list are set up here.
    virtual void onOpen(HWND dialog) = 0;
    // A command of one of the window's own controls; false when it is not one.
    virtual bool onCommand(int id, int notification) = 0;
    // A system-menu command; false for the default handling.
    virtual bool onSystemCommand(WPARAM) { return false; }
    virtual void onTick() = 0;
    // The window is about to go: a running search is stopped and waited for.
    virtual void onClosing() = 0;
    virtual ResultListPresenter& listPresenter() = 0;
};

}  // namespace quillfen::win32
