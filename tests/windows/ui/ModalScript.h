#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <functional>
#include <string>
#include <vector>

namespace quillfen::test {

// Drives modal windows from inside their own message loops: the steps run one after another from
// a timer of this thread, in whichever loop the thread is in (a dialog's, a message box's, a
// chooser's). A step that returns false is tried again on the next tick. A step that opens a
// modal window posts the message that does it, so that the next step runs inside that window's
// loop. Should a step never succeed, the script gives up after a generous number of ticks and
// cancels the thread's dialogs, so that the test ends and fails instead of hanging.
class ModalScript {
public:
    using Step = std::function<bool()>;

    explicit ModalScript(std::vector<Step> steps);
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    // True when every step has run.
    bool finished() const { return next_ == steps_.size(); }

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    void advance();
    void giveUp();

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    int ticks_ = 0;
    bool running_ = false;
    bool gaveUp_ = false;
    UINT_PTR timer_ = 0;
};

// The visible dialog windows of this thread (dialogs, message boxes, choosers), newest first.
std::vector<HWND> threadDialogs();
// The first of them with this caption, or none.
HWND dialogTitled(const std::wstring& caption);
// The texts of a window's children, in their order.
std::vector<std::wstring> childTexts(HWND window);
std::wstring windowText(HWND window);
// Presses a dialog's button the way a click does, without waiting for what it opens.
void pressButton(HWND dialog, int id);

}  // namespace quillfen::test
