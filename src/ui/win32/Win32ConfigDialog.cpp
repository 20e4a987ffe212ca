#include "ui/win32/Win32ConfigDialog.h"

#include "app/Application.h"
#include "platform/windows/WideText.h"
#include "shell/windows/RegistryShellEntries.h"
#include "ui/win32/ConfigDialogIds.h"
#include "ui/win32/ControlTextFit.h"
#include "ui/win32/ProgramChooser.h"

namespace quillfen::win32 {

namespace {

std::unique_ptr<ShellEntries> registryEntriesUnless(const ShellEntries* given) {
    return given == nullptr ? std::make_unique<RegistryShellEntries>() : nullptr;
}

}  // namespace

Win32ConfigDialog::Win32ConfigDialog(HWND owner, ShellEntries* shellEntries)
    : owner_(owner),
      ownShellEntries_(registryEntriesUnless(shellEntries)),
      shellEntries_(shellEntries != nullptr ? *shellEntries : *ownShellEntries_) {}

Win32ConfigDialog::~Win32ConfigDialog() = default;

int Win32ConfigDialog::run() {
    closingResult_ = IDCANCEL;
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CONFIG),
                                           owner_, dialogProc, reinterpret_cast<LPARAM>(this));
    controls_.attach(nullptr);
    presenter_.reset();
    return static_cast<int>(result);
}

INT_PTR CALLBACK Win32ConfigDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<Win32ConfigDialog*>(lParam)->onInit(dialog);
        return TRUE;
    }
    auto* self = reinterpret_cast<Win32ConfigDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (self != nullptr && message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        return self->onCommand(LOWORD(wParam)) ? TRUE : FALSE;
    }
    return FALSE;
}

void Win32ConfigDialog::onInit(HWND dialog) {
    controls_.attach(dialog);
    presenter_ = std::make_unique<ConfigDialogPresenter>(*this, shellEntries_);
    presenter_->open();
    fitTexts();
}

// The template is drawn for English texts; a translation or a font that needs more room than it
// gives moves the buttons at the right edge and stretches the boxes that reach to it.
void Win32ConfigDialog::fitTexts() const {
    ControlTextFit(window()).widenDialogFor(
        {IDC_CONFIG_SELF_ICON, IDC_CONFIG_SHELL, IDC_CONFIG_RECYCLE_BIN, IDC_CONFIG_USE_INDEX},
        {IDOK, IDC_CONFIG_CANCEL, IDC_CONFIG_BROWSE_EDITOR},
        {IDC_CONFIG_EDITOR, IDC_CONFIG_LANGUAGE});
}

// Escape and the close box come as IDCANCEL and act as the Cancel button.
bool Win32ConfigDialog::onCommand(int id) {
    switch (id) {
        case IDOK:
            closingResult_ = IDOK;
            presenter_->onOk();
            return true;
        case IDCANCEL:
        case IDC_CONFIG_CANCEL:
            closingResult_ = IDCANCEL;
            presenter_->onCancel();
            return true;
        case IDC_CONFIG_BROWSE_EDITOR:
            presenter_->onBrowseEditor();
            return true;
        default:
            return false;
    }
}

int Win32ConfigDialog::idOf(ConfigControl control) const {
    switch (control) {
        case ConfigControl::Version:
            return IDC_CONFIG_VERSION;
        case ConfigControl::Description:
            return IDC_CONFIG_DESCRIPTION;
        case ConfigControl::ShowSelfIcon:
            return IDC_CONFIG_SELF_ICON;
        case ConfigControl::ShellIntegration:
            return IDC_CONFIG_SHELL;
        case ConfigControl::SearchInRecycleBin:
            return IDC_CONFIG_RECYCLE_BIN;
        case ConfigControl::UseIndex:
            return IDC_CONFIG_USE_INDEX;
        case ConfigControl::EditorLabel:
            return IDC_CONFIG_EDITOR_LABEL;
        case ConfigControl::Editor:
            return IDC_CONFIG_EDITOR;
        case ConfigControl::BrowseEditor:
            return IDC_CONFIG_BROWSE_EDITOR;
        case ConfigControl::LanguageLabel:
            return IDC_CONFIG_LANGUAGE_LABEL;
        case ConfigControl::Language:
            return IDC_CONFIG_LANGUAGE;
        case ConfigControl::OkButton:
            return IDOK;
        case ConfigControl::CancelButton:
            return IDC_CONFIG_CANCEL;
    }
    return 0;
}

void Win32ConfigDialog::setTitle(const std::string& title) {
    SetWindowTextW(window(), platform::toWide(title).c_str());
}

bool Win32ConfigDialog::askYesNo(const std::string& question) {
    return MessageBoxW(window(), platform::toWide(question).c_str(),
                       platform::toWide(Application::kName).c_str(),
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void Win32ConfigDialog::showInformation(const std::string& text) {
    MessageBoxW(window(), platform::toWide(text).c_str(),
                platform::toWide(Application::kName).c_str(), MB_OK | MB_ICONINFORMATION);
}

bool Win32ConfigDialog::chooseProgram(std::string& path) {
    const std::optional<std::string> chosen = chooseProgramFile(window());
    if (!chosen) {
        return false;
    }
    path = *chosen;
    return true;
}

void Win32ConfigDialog::closeDialog() {
    EndDialog(window(), closingResult_);
}

void Win32ConfigDialog::endProgram() {
    ExitProcess(0);
}

}  // namespace quillfen::win32
