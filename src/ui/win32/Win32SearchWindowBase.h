#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "ui/win32/SearchWindowEvents.h"
#include "ui/win32/SearchWindowFrame.h"
#include "ui/win32/Win32ConfigDialog.h"
#include "ui/win32/Win32ControlView.h"

namespace quillfen::win32 {

// What both search windows answer alike, through their dialog frame: the result list's part of
// the view, the status lines, Find and Stop, messages, the folder chooser, posted tasks and the
// ticks of a running search.
template <typename Control, typename View>
class Win32SearchWindowBase : public Win32ControlView<Control, View>, protected SearchWindowEvents {
public:
    struct StatusControls {
        Control countLine;
        Control progressLine;
        Control find;
        Control stop;
    };

    HWND window() const { return frame_.window(); }
    bool isOpen() const { return frame_.isOpen(); }
    Win32ResultList& resultList() { return frame_.results(); }
    // Shows the window and returns when it has closed.
    void run() { frame_.runModal(); }

    void setStatusLine(StatusLine line, const std::string& text) override {
        this->setText(line == StatusLine::Count ? status_.countLine : status_.progressLine, text);
    }
    // Find and Stop share a place; a button that goes while it has the focus hands the focus to
    // the one that takes its place, so Enter and Space keep working there.
    void showSearchRunning(bool running) override {
        const Control shown = running ? status_.stop : status_.find;
        const Control hidden = running ? status_.find : status_.stop;
        HWND hiddenButton = this->controls_.control(this->idOf(hidden));
        const bool hiddenHadFocus = hiddenButton != nullptr && GetFocus() == hiddenButton;
        this->setVisible(shown, true);
        this->setVisible(hidden, false);
        HWND shownButton = this->controls_.control(this->idOf(shown));
        if (hiddenHadFocus && shownButton != nullptr) {
            SendMessageW(window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(shownButton), TRUE);
        }
    }
    void showResults(const ResultTable& table, const IconImageList& icons) override {
        frame_.results().showResults(table, icons);
    }
    void resultsReset() override { frame_.results().resultsReset(); }
    void resultsAppended(std::size_t first, std::size_t count) override {
        frame_.results().resultsAppended(first, count);
    }
    void showSortArrow(std::optional<SortKeyList::Key> key) override {
        frame_.results().showSortArrow(key);
    }
    ResultSelection& selection() override { return frame_.results(); }
    platform::DesktopShell& shell() override { return frame_.shell(); }
    void showMessage(const std::string& text) override { frame_.showMessage(text); }
    void showDetails(const std::string& text, const std::string& details) override {
        frame_.showDetails(text, details);
    }
    bool chooseFolder(const std::string& title, std::string& folder) override {
        const std::optional<std::string> chosen = frame_.chooseFolder(title);
        if (chosen) {
            folder = *chosen;
        }
        return chosen.has_value();
    }
    std::optional<SaveChoice> chooseSaveFile(const std::string& title,
                                             const std::vector<FileFilter>& filters) override {
        return frame_.chooseSaveFile(title, filters);
    }
    void postToUserInterface(std::function<void()> task) override {
        frame_.postToUserInterface(std::move(task));
    }
    void openConfiguration() override { Win32ConfigDialog(window()).run(); }
    void startTicking() override { frame_.startTicking(); }
    void stopTicking() override { frame_.stopTicking(); }

protected:
    explicit Win32SearchWindowBase(StatusControls status) : status_(status), frame_(*this) {}

    // Called by the window's constructor once its presenter exists.
    void createDialog(int dialogId, HWND owner, WindowLayoutSettings layout) {
        frame_.create(dialogId, owner, std::move(layout));
    }

    // The controls and the result list learn their dialog; called first thing in onOpen.
    void attachControls(HWND dialog, int listId, bool sortable) {
        this->controls_.attach(dialog);
        frame_.results().attach(GetDlgItem(dialog, listId), this->listPresenter(), sortable);
    }

private:
    StatusControls status_;
    SearchWindowFrame frame_;
};

}  // namespace quillfen::win32
