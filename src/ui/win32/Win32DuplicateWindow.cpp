#include "ui/win32/Win32DuplicateWindow.h"

// clang-format off
#include <commdlg.h>
// clang-format on

#include <array>
#include <utility>

#include "platform/windows/WideText.h"
#include "ui/win32/ControlTextFit.h"
#include "ui/win32/SearchDialogIds.h"

namespace quillfen::win32 {

namespace {

constexpr std::array<std::pair<DuplicateControl, int>, 17> kControlIds = {{
    {DuplicateControl::Group, IDC_DUPLICATE_GROUP},
    {DuplicateControl::ProgressLine, IDC_PROGRESS_LINE},
    {DuplicateControl::CountLine, IDC_COUNT_LINE},
    {DuplicateControl::FindButton, IDC_DUPLICATE_FIND},
    {DuplicateControl::StopButton, IDC_DUPLICATE_STOP},
    {DuplicateControl::FileNameGroup, IDC_DUPLICATE_FILE_GROUP},
    {DuplicateControl::ReferenceFile, IDC_DUPLICATE_REFERENCE},
    {DuplicateControl::BrowseFile, IDC_DUPLICATE_BROWSE_FILE},
    {DuplicateControl::LookInGroup, IDC_DUPLICATE_LOOK_IN_GROUP},
    {DuplicateControl::LookIn, IDC_LOOK_IN},
    {DuplicateControl::BrowseLookIn, IDC_DUPLICATE_BROWSE_LOOK_IN},
    {DuplicateControl::OptionsGroup, IDC_DUPLICATE_OPTIONS_GROUP},
    {DuplicateControl::MatchName, IDC_MATCH_NAME},
    {DuplicateControl::MatchExtension, IDC_MATCH_EXTENSION},
    {DuplicateControl::MatchTime, IDC_MATCH_TIME},
    {DuplicateControl::MatchBody, IDC_MATCH_BODY},
    {DuplicateControl::ResultList, IDC_RESULT_LIST},
}};

}  // namespace

Win32DuplicateWindow::Win32DuplicateWindow(const std::string& referencePath, HWND owner)
    : Win32SearchWindowBase({DuplicateControl::CountLine, DuplicateControl::ProgressLine,
                             DuplicateControl::FindButton, DuplicateControl::StopButton}),
      presenter_(std::make_unique<DuplicateWindowPresenter>(*this, referencePath)) {
    createDialog(IDD_DUPLICATE, owner, WindowLayoutSettings("Duplicate"));
}

Win32DuplicateWindow::~Win32DuplicateWindow() {
    presenter_->onClose();
}

int Win32DuplicateWindow::idOf(DuplicateControl control) const {
    return idIn(kControlIds, control);
}

void Win32DuplicateWindow::onOpen(HWND dialog) {
    attachControls(dialog, IDC_RESULT_LIST, true);
    presenter_->open();
    ControlTextFit(dialog).spreadRow(
        {IDC_MATCH_NAME, IDC_MATCH_EXTENSION, IDC_MATCH_TIME, IDC_MATCH_BODY});
}

bool Win32DuplicateWindow::onCommand(int id, int) {
    switch (id) {
        // Enter gives the default button's command, Find's.
        case IDOK:
        case IDC_DUPLICATE_FIND:
            presenter_->onFind();
            return true;
        case IDC_DUPLICATE_STOP:
            presenter_->onStop();
            return true;
        case IDC_DUPLICATE_BROWSE_FILE:
            presenter_->onBrowseFile();
            return true;
        case IDC_DUPLICATE_BROWSE_LOOK_IN:
            presenter_->onBrowseLookIn();
            return true;
        default:
            return false;
    }
}

void Win32DuplicateWindow::setTitle(const std::string& title) {
    SetWindowTextW(window(), platform::toWide(title).c_str());
}

bool Win32DuplicateWindow::chooseFile(std::string& file) {
    wchar_t path[32768] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window();
    dialog.lpstrFilter = L"All Files(*.*)\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = static_cast<DWORD>(std::size(path));
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetOpenFileNameW(&dialog)) {
        return false;
    }
    file = platform::fromWide(path);
    return true;
}

}  // namespace quillfen::win32
