#pragma once

#include <memory>
#include <optional>
#include <string>

#include "ui/MainWindowPresenter.h"
#include "ui/MainWindowView.h"
#include "ui/win32/Win32SearchWindowBase.h"

namespace quillfen::win32 {

// The search window from dialog template 102. Every rule lives in the presenter; this class
// forwards the dialog's events and answers the presenter from the controls.
class Win32MainWindow : public Win32SearchWindowBase<MainControl, MainWindowView> {
public:
    // The window exists, filled in but not yet shown, when the constructor returns.
    explicit Win32MainWindow(const std::string& lookInArgument, HWND owner = nullptr);
    ~Win32MainWindow() override;

    MainWindowPresenter& presenter() { return *presenter_; }

    void setTitle(const std::string& title) override;
    CalendarDate date(MainControl control) const override;
    void setDate(MainControl control, const CalendarDate& date) override;
    void openDuplicateSearch(const std::optional<std::string>& referencePath) override;

protected:
    int idOf(MainControl control) const override;

    void onOpen(HWND dialog) override;
    bool onCommand(int id, int notification) override;
    bool onSystemCommand(WPARAM command) override;
    void onTick() override { presenter_->onSearchTick(); }
    void onClosing() override { presenter_->onClose(); }
    ResultListPresenter& listPresenter() override { return presenter_->resultList(); }

private:
    void addConfigToSystemMenu(HWND dialog);

    std::unique_ptr<MainWindowPresenter> presenter_;
};

}  // namespace quillfen::win32
