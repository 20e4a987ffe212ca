#pragma once

#include <memory>
#include <optional>
#include <string>

#include "ui/DuplicateWindowPresenter.h"
#include "ui/DuplicateWindowView.h"
#include "ui/win32/Win32SearchWindowBase.h"

namespace quillfen::win32 {

// The "Document Duplication Search" window from dialog template 104, over its presenter. Its
// list shares the search window's columns, menu and shortcuts, but does not sort.
class Win32DuplicateWindow : public Win32SearchWindowBase<DuplicateControl, DuplicateWindowView> {
public:
    // The window exists, filled in but not yet shown, when the constructor returns.
    explicit Win32DuplicateWindow(const std::string& referencePath, HWND owner = nullptr);
    ~Win32DuplicateWindow() override;

    DuplicateWindowPresenter& presenter() { return *presenter_; }

    void setTitle(const std::string& title) override;
    bool chooseFile(std::string& file) override;
    // The duplicate window's own list never starts another duplicate search.
    void openDuplicateSearch(const std::optional<std::string>&) override {}

protected:
    int idOf(DuplicateControl control) const override;

    void onOpen(HWND dialog) override;
    bool onCommand(int id, int notification) override;
    void onTick() override { presenter_->resultList().onTick(); }
    void onClosing() override { presenter_->onClose(); }
    ResultListPresenter& listPresenter() override { return presenter_->resultList(); }

private:
    std::unique_ptr<DuplicateWindowPresenter> presenter_;
};

}  // namespace quillfen::win32
