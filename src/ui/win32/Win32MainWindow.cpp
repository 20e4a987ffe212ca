#include "ui/win32/Win32MainWindow.h"

// clang-format off
#include <commctrl.h>
// clang-format on

#include <array>
#include <utility>

#include "app/LanguageTable.h"
#include "platform/windows/WideText.h"
#include "ui/win32/ControlTextFit.h"
#include "ui/win32/ResourceIds.h"
#include "ui/win32/SearchDialogIds.h"
#include "ui/win32/Win32DuplicateWindow.h"

namespace quillfen::win32 {

namespace {

constexpr std::array<std::pair<MainControl, int>, 30> kControlIds = {{
    {MainControl::CountLine, IDC_COUNT_LINE},
    {MainControl::ProgressLine, IDC_PROGRESS_LINE},
    {MainControl::TranslationBanner, IDC_TRANSLATION_BANNER},
    {MainControl::DebugButton, IDC_DEBUG},
    {MainControl::FindButton, IDC_SEARCH_FIND},
    {MainControl::StopButton, IDC_SEARCH_STOP},
    {MainControl::NameGroup, IDC_NAME_GROUP},
    {MainControl::NamePatterns, IDC_NAME_PATTERNS},
    {MainControl::LookInGroup, IDC_LOOK_IN_GROUP},
    {MainControl::LookIn, IDC_LOOK_IN},
    {MainControl::BrowseLookIn, IDC_BROWSE_LOOK_IN},
    {MainControl::SearchSubfolders, IDC_SEARCH_SUBFOLDERS},
    {MainControl::ContentGroup, IDC_CONTENT_GROUP},
    {MainControl::ContentText, IDC_CONTENT_TEXT},
    {MainControl::HexText, IDC_HEX_TEXT},
    {MainControl::TextMode, IDC_TEXT_MODE},
    {MainControl::HexMode, IDC_HEX_MODE},
    {MainControl::MatchCase, IDC_MATCH_CASE},
    {MainControl::MatchAnsi, IDC_MATCH_ANSI},
    {MainControl::MatchUnicode, IDC_MATCH_UNICODE},
    {MainControl::MatchUtf8, IDC_MATCH_UTF8},
    {MainControl::DateGroup, IDC_DATE_GROUP},
    {MainControl::DateOption, IDC_DATE_OPTION},
    {MainControl::DateFrom, IDC_DATE_FROM},
    {MainControl::DateTo, IDC_DATE_TO},
    {MainControl::SizeGroup, IDC_SIZE_GROUP},
    {MainControl::SizeOption, IDC_SIZE_OPTION},
    {MainControl::SizeBound, IDC_SIZE_BOUND},
    {MainControl::SizeKilobytes, IDC_SIZE_KILOBYTES},
    {MainControl::ResultList, IDC_RESULT_LIST},
}};

}  // namespace

Win32MainWindow::Win32MainWindow(const std::string& lookInArgument, HWND owner)
    : Win32SearchWindowBase({MainControl::CountLine, MainControl::ProgressLine,
                             MainControl::FindButton, MainControl::StopButton}),
      presenter_(std::make_unique<MainWindowPresenter>(*this, lookInArgument)) {
    createDialog(IDD_SEARCH, owner, WindowLayoutSettings(""));
}

Win32MainWindow::~Win32MainWindow() {
    presenter_->onClose();
}

int Win32MainWindow::idOf(MainControl control) const {
    return idIn(kControlIds, control);
}

void Win32MainWindow::onOpen(HWND dialog) {
    attachControls(dialog, IDC_RESULT_LIST, true);
    addConfigToSystemMenu(dialog);
    presenter_->open();
    const ControlTextFit fit(dialog);
    fit.spreadRow({IDC_TEXT_MODE, IDC_HEX_MODE, IDC_MATCH_CASE, IDC_MATCH_ANSI, IDC_MATCH_UNICODE,
                   IDC_MATCH_UTF8});
    fit.growLeftward(IDC_SEARCH_SUBFOLDERS, {IDC_BROWSE_LOOK_IN}, IDC_LOOK_IN);
}

// The item is added only when the about string loads, as a sign that the program's resources
// are whole.
void Win32MainWindow::addConfigToSystemMenu(HWND dialog) {
    wchar_t about[64] = {};
    HMENU system = GetSystemMenu(dialog, FALSE);
    if (system == nullptr || LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUT, about,
                                         static_cast<int>(std::size(about))) <= 0) {
        return;
    }
    AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(system, MF_STRING, IDM_SYSTEM_CONFIG,
                platform::toWide(translate("Config...")).c_str());
}

bool Win32MainWindow::onCommand(int id, int notification) {
    switch (id) {
        case IDC_SEARCH_FIND:
            presenter_->onFind();
            return true;
        case IDC_SEARCH_STOP:
            presenter_->onStop();
            return true;
        case IDC_TEXT_MODE:
            presenter_->onTextMode();
            return true;
        case IDC_HEX_MODE:
            presenter_->onHexMode();
            return true;
        case IDC_BROWSE_LOOK_IN:
            presenter_->onBrowseLookIn();
            return true;
        case IDC_TRANSLATION_BANNER:
            presenter_->onTranslationBanner();
            return true;
        case IDC_DEBUG:
            openDuplicateSearch(std::nullopt);
            return true;
        case IDC_DATE_OPTION:
            if (notification == CBN_SELCHANGE) {
                presenter_->onDateOptionChanged();
            }
            return true;
        case IDC_SIZE_OPTION:
            if (notification == CBN_SELCHANGE) {
                presenter_->onSizeOptionChanged();
            }
            return true;
        default:
            return false;
    }
}

bool Win32MainWindow::onSystemCommand(WPARAM command) {
    if ((command & 0xFFF0) != IDM_SYSTEM_CONFIG) {
        return false;
    }
    presenter_->onAction(ResultAction::Config);
    return true;
}

void Win32MainWindow::setTitle(const std::string& title) {
    SetWindowTextW(window(), platform::toWide(title).c_str());
}

CalendarDate Win32MainWindow::date(MainControl control) const {
    SYSTEMTIME time{};
    HWND picker = controls_.control(idOf(control));
    if (picker == nullptr || DateTime_GetSystemtime(picker, &time) != GDT_VALID) {
        return {};
    }
    return CalendarDate{time.wYear, time.wMonth, time.wDay};
}

void Win32MainWindow::setDate(MainControl control, const CalendarDate& date) {
    HWND picker = controls_.control(idOf(control));
    if (picker == nullptr) {
        return;
    }
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    DateTime_SetSystemtime(picker, GDT_VALID, &time);
}

void Win32MainWindow::openDuplicateSearch(const std::optional<std::string>& referencePath) {
    Win32DuplicateWindow duplicates(referencePath.value_or(std::string()), window());
    duplicates.run();
}

}  // namespace quillfen::win32
