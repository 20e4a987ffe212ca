#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/windows/WindowsDesktopShell.h"
#include "ui/ResultListView.h"
#include "ui/win32/SearchWindowEvents.h"
#include "ui/win32/Win32ResultList.h"
#include "ui/win32/Win32WindowLayout.h"

namespace quillfen::win32 {

// The dialog behind a search window and what both search windows do alike: its modal run, the
// result list's notifications and context menu, the list's stretching with the window, Escape
// kept from closing it, the ticks of a running search, tasks posted from other threads, messages
// and the folder chooser.
class SearchWindowFrame {
public:
    explicit SearchWindowFrame(SearchWindowEvents& events) : events_(events) {}
    ~SearchWindowFrame();
    SearchWindowFrame(const SearchWindowFrame&) = delete;
    SearchWindowFrame& operator=(const SearchWindowFrame&) = delete;

    // Creates the dialog from its template, not yet shown, in the size it had when it last
    // closed; events.onOpen runs before this returns.
    void create(int dialogId, HWND owner, WindowLayoutSettings layout);
    HWND window() const { return window_; }
    bool isOpen() const { return window_ != nullptr; }
    Win32ResultList& results() { return results_; }
    platform::DesktopShell& shell() { return shell_; }

    // Shows the window and runs its messages until it closes, the owner disabled meanwhile.
    void runModal();

    void showMessage(const std::string& text);
    void showDetails(const std::string& text, const std::string& details);
    std::optional<std::string> chooseFolder(const std::string& title);
    std::optional<SaveChoice> chooseSaveFile(const std::string& title,
                                             const std::vector<FileFilter>& filters);
    void postToUserInterface(std::function<void()> task);
    void startTicking();
    void stopTicking();

private:
    static INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool onCommand(int id, int notification);
    void setIcons();
    void addExportToSystemMenu();
    void rememberListPlace();
    void rememberMinimumSize();
    void placeList(int clientWidth, int clientHeight);
    void restoreLayout();
    void runPostedTasks();
    void close();
    INT_PTR answer(LRESULT result);

    SearchWindowEvents& events_;
    HWND window_ = nullptr;
    HWND owner_ = nullptr;
    Win32ResultList results_;
    platform::WindowsDesktopShell shell_;
    HICON largeIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    // The list's edges as the template places them: its left and top, and its distances to the
    // right and bottom of the client area, kept as the window is resized.
    std::optional<RECT> listMargins_;
    std::optional<Win32WindowLayout> layout_;
    // The smallest client area and, with the frame, window the user may size it to.
    std::optional<SIZE> minimumClient_;
    std::optional<SIZE> minimumFrame_;
    std::mutex tasksMutex_;
    std::vector<std::function<void()>> tasks_;
};

}  // namespace quillfen::win32
