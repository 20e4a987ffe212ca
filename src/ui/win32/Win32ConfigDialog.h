#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <memory>

#include "ui/ConfigDialogPresenter.h"
#include "ui/ConfigDialogView.h"
#include "ui/ShellEntries.h"
#include "ui/win32/Win32ControlView.h"

namespace quillfen::win32 {

// The configuration dialog and about box, dialog template 100; every rule lives in the
// presenter.
class Win32ConfigDialog : public Win32ControlView<ConfigControl, ConfigDialogView> {
public:
    // Uses the registry's shell entries unless the caller hands in others.
    explicit Win32ConfigDialog(HWND owner, ShellEntries* shellEntries = nullptr);
    ~Win32ConfigDialog() override;
    Win32ConfigDialog(const Win32ConfigDialog&) = delete;
    Win32ConfigDialog& operator=(const Win32ConfigDialog&) = delete;

    // Shows the dialog modally until OK or Cancel closes it: IDOK after saving, IDCANCEL
    // otherwise.
    int run();

    void setTitle(const std::string& title) override;
    bool askYesNo(const std::string& question) override;
    void showInformation(const std::string& text) override;
    bool chooseProgram(std::string& path) override;
    void closeDialog() override;
    // Ends the process at once; the presenter has started the program's next instance before.
    void endProgram() override;

protected:
    int idOf(ConfigControl control) const override;
    HWND window() const { return controls_.dialog(); }
    // Widens the check boxes to their texts, and the dialog with them when they need it.
    void fitTexts() const;

private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void onInit(HWND dialog);
    bool onCommand(int id);

    HWND owner_;
    std::unique_ptr<ShellEntries> ownShellEntries_;
    ShellEntries& shellEntries_;
    std::unique_ptr<ConfigDialogPresenter> presenter_;
    int closingResult_ = IDCANCEL;
};

}  // namespace quillfen::win32
