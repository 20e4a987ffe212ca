#include "ui/win32/SearchWindowFrame.h"

// clang-format off
#include <commctrl.h>
#include <commdlg.h>
// clang-format on

#include <algorithm>
#include <utility>

#include "app/Application.h"
#include "app/LanguageTable.h"
#include "platform/windows/WideText.h"
#include "ui/ResultListPresenter.h"
#include "ui/win32/FolderChooser.h"
#include "ui/win32/ResourceIds.h"
#include "ui/win32/ResultContextMenu.h"
#include "ui/win32/ScreenScale.h"
#include "ui/win32/SearchDialogIds.h"

namespace quillfen::win32 {

namespace {

// Posted to the window when another thread has queued tasks for it.
constexpr UINT kRunPostedTasks = WM_APP + 1;
constexpr UINT_PTR kTickTimer = 1;
// A few dozen batches a second keep the list lively without a redraw per row.
constexpr UINT kTickMilliseconds = 40;
// However small the window, the list keeps room for a few rows; pixels at 96 dpi.
constexpr int kMinimumListHeight = 120;

// The dialog's filter text: each label and pattern followed by a zero, and one more at the end.
std::wstring filterText(const std::vector<FileFilter>& filters) {
    std::wstring text;
    for (const FileFilter& filter : filters) {
        text += platform::toWide(filter.label + " (" + filter.pattern + ")");
        text.push_back(L'\0');
        text += platform::toWide(filter.pattern);
        text.push_back(L'\0');
    }
    text.push_back(L'\0');
    return text;
}

// "*.csv" gives "csv".
std::wstring extensionOf(const FileFilter& filter) {
    const auto dot = filter.pattern.rfind('.');
    return dot == std::string::npos ? std::wstring()
                                    : platform::toWide(filter.pattern.substr(dot + 1));
}

}  // namespace

SearchWindowFrame::~SearchWindowFrame() {
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, DWLP_USER, 0);
        DestroyWindow(window_);
    }
    for (HICON icon : {largeIcon_, smallIcon_}) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
}

void SearchWindowFrame::create(int dialogId, HWND owner, WindowLayoutSettings layout) {
    owner_ = owner;
    layout_.emplace(std::move(layout));
    CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(dialogId), owner,
                       &SearchWindowFrame::dialogProcedure, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK SearchWindowFrame::dialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                                    LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* frame = reinterpret_cast<SearchWindowFrame*>(lParam);
        frame->window_ = dialog;
        frame->setIcons();
        frame->events_.onOpen(dialog);
        frame->addExportToSystemMenu();
        frame->rememberListPlace();
        frame->rememberMinimumSize();
        frame->restoreLayout();
        // The window chose where the keyboard starts; TRUE would move it to the first control.
        HWND focus = GetFocus();
        return focus != nullptr && IsChild(dialog, focus) ? FALSE : TRUE;
    }
    auto* frame = reinterpret_cast<SearchWindowFrame*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return frame == nullptr ? FALSE : frame->handle(message, wParam, lParam);
}

INT_PTR SearchWindowFrame::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            return onCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == IDM_SYSTEM_EXPORT_LIST) {
                events_.listPresenter().onAction(ResultAction::ExportList);
                return answer(0);
            }
            if (events_.onSystemCommand(wParam)) {
                return answer(0);
            }
            return FALSE;
        case WM_NOTIFY: {
            LRESULT result = 0;
            return results_.handleNotify(*reinterpret_cast<const NMHDR*>(lParam), result)
                       ? answer(result)
                       : FALSE;
        }
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) != results_.window()) {
                return FALSE;
            }
            results_.showContextMenu(window_, POINT{static_cast<short>(LOWORD(lParam)),
                                                    static_cast<short>(HIWORD(lParam))});
            return TRUE;
        case WM_GETMINMAXINFO:
            if (minimumFrame_) {
                reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize =
                    POINT{minimumFrame_->cx, minimumFrame_->cy};
                return TRUE;
            }
            return FALSE;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) {
                placeList(LOWORD(lParam), HIWORD(lParam));
            }
            return TRUE;
        case WM_TIMER:
            if (wParam == kTickTimer) {
                events_.onTick();
            }
            return TRUE;
        case kRunPostedTasks:
            runPostedTasks();
            return TRUE;
        case WM_CLOSE:
            close();
            return TRUE;
        case WM_DESTROY:
            KillTimer(window_, kTickTimer);
            return TRUE;
        case WM_NCDESTROY:
            window_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

// A dialog procedure hands its answer to a notification through the window's result slot.
INT_PTR SearchWindowFrame::answer(LRESULT result) {
    SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
    return TRUE;
}

bool SearchWindowFrame::onCommand(int id, int notification) {
    // Escape arrives as Cancel; it never closes a search window.
    if (id == IDCANCEL) {
        return true;
    }
    if (id == IDC_PROGRESS_LINE && notification == STN_CLICKED) {
        events_.listPresenter().onProgressLineClicked();
        return true;
    }
    if (const std::optional<ResultAction> action =
            ResultContextMenu::actionOf(static_cast<UINT>(id))) {
        events_.listPresenter().onAction(*action);
        return true;
    }
    return events_.onCommand(id, notification);
}

void SearchWindowFrame::setIcons() {
    HINSTANCE module = GetModuleHandleW(nullptr);
    largeIcon_ =
        static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

// After the window's own items; a separator parts it from the system's items, not from the
// configuration item that may come just before it.
void SearchWindowFrame::addExportToSystemMenu() {
    HMENU system = GetSystemMenu(window_, FALSE);
    if (system == nullptr) {
        return;
    }
    const int count = GetMenuItemCount(system);
    if (count > 0 && GetMenuItemID(system, count - 1) != IDM_SYSTEM_CONFIG) {
        AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
    }
    AppendMenuW(system, MF_STRING, IDM_SYSTEM_EXPORT_LIST,
                platform::toWide(translate("Export List...")).c_str());
}

void SearchWindowFrame::rememberListPlace() {
    HWND list = results_.window();
    RECT client{};
    RECT place{};
    if (list == nullptr || !GetClientRect(window_, &client) || !GetWindowRect(list, &place)) {
        return;
    }
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place), 2);
    listMargins_ =
        RECT{place.left, place.top, client.right - place.right, client.bottom - place.bottom};
}

// Only the list follows the window's size; every other control keeps its place.
void SearchWindowFrame::placeList(int clientWidth, int clientHeight) {
    if (!listMargins_ || results_.window() == nullptr) {
        return;
    }
    const RECT& margins = *listMargins_;
    const int width = std::max(0, clientWidth - static_cast<int>(margins.right + margins.left));
    const int height = std::max(0, clientHeight - static_cast<int>(margins.bottom + margins.top));
    MoveWindow(results_.window(), margins.left, margins.top, width, height, TRUE);
}

void SearchWindowFrame::runModal() {
    if (window_ == nullptr) {
        return;
    }
    const bool ownerWasEnabled = owner_ != nullptr && IsWindowEnabled(owner_);
    if (ownerWasEnabled) {
        EnableWindow(owner_, FALSE);
    }
    ShowWindow(window_, SW_SHOW);
    MSG message{};
    while (window_ != nullptr) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) {
                PostQuitMessage(static_cast<int>(message.wParam));
            }
            break;
        }
        if (window_ == nullptr || !IsDialogMessageW(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (ownerWasEnabled) {
        EnableWindow(owner_, TRUE);
        SetActiveWindow(owner_);
    }
}

// The template's width keeps every control in reach, and its height down to a list of a few
// rows; taken while the window still has the template's size.
void SearchWindowFrame::rememberMinimumSize() {
    RECT client{};
    RECT frame{};
    if (!listMargins_ || !GetClientRect(window_, &client) || !GetWindowRect(window_, &frame)) {
        return;
    }
    const int listHeight = ScreenScale(window_).toScreen(kMinimumListHeight);
    minimumClient_ =
        SIZE{client.right,
             std::min(static_cast<int>(client.bottom),
                      static_cast<int>(listMargins_->top + listMargins_->bottom) + listHeight)};
    minimumFrame_ = SIZE{(frame.right - frame.left) - client.right + minimumClient_->cx,
                         (frame.bottom - frame.top) - client.bottom + minimumClient_->cy};
}

void SearchWindowFrame::restoreLayout() {
    if (layout_ && results_.window() != nullptr) {
        layout_->restore(window_, results_.window(), minimumClient_.value_or(SIZE{0, 0}),
                         results_.fixedFormWidths());
    }
}

void SearchWindowFrame::close() {
    events_.onClosing();
    if (layout_ && results_.window() != nullptr) {
        layout_->save(window_, results_.window());
    }
    DestroyWindow(window_);
}

void SearchWindowFrame::showMessage(const std::string& text) {
    const std::wstring caption = platform::toWide(Application::kName);
    MessageBoxW(window_, platform::toWide(text).c_str(), caption.c_str(),
                MB_OK | MB_ICONEXCLAMATION);
}

// A message box grows with its text and has no scroll bar, so the details are cut to what a
// screen holds, with a last line that says more were left out.
void SearchWindowFrame::showDetails(const std::string& text, const std::string& details) {
    constexpr std::size_t kMostLines = 30;
    std::string shown = text + "\n\n";
    std::size_t lines = 0;
    std::size_t from = 0;
    while (from < details.size() && lines < kMostLines) {
        const std::size_t end = std::min(details.find('\n', from), details.size());
        shown.append(details, from, end - from).append("\n");
        from = end + 1;
        ++lines;
    }
    if (from < details.size()) {
        shown += "...";
    }
    const std::wstring caption = platform::toWide(Application::kName);
    MessageBoxW(window_, platform::toWide(shown).c_str(), caption.c_str(),
                MB_OK | MB_ICONINFORMATION);
}

// The look-in box takes a folder with its closing separator, as the history keeps it.
std::optional<std::string> SearchWindowFrame::chooseFolder(const std::string& title) {
    std::optional<std::string> folder = browseForFolder(window_, title);
    if (folder && !folder->empty() && folder->back() != '\\') {
        *folder += '\\';
    }
    return folder;
}

// The shell's save dialog: it adds the chosen type's extension to a name typed without one and
// asks before it replaces a file.
std::optional<SaveChoice> SearchWindowFrame::chooseSaveFile(
    const std::string& title, const std::vector<FileFilter>& filters) {
    const std::wstring caption = platform::toWide(title);
    const std::wstring types = filterText(filters);
    const std::wstring defaultExtension =
        filters.empty() ? std::wstring() : extensionOf(filters[0]);
    std::vector<wchar_t> file(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = types.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = caption.c_str();
    dialog.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    dialog.Flags =
        OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&dialog)) {
        return std::nullopt;
    }
    const std::size_t chosen = dialog.nFilterIndex > 0 ? dialog.nFilterIndex - 1 : 0;
    return SaveChoice{platform::fromWide(file.data()), chosen};
}

void SearchWindowFrame::postToUserInterface(std::function<void()> task) {
    {
        const std::lock_guard<std::mutex> lock(tasksMutex_);
        tasks_.push_back(std::move(task));
    }
    PostMessageW(window_, kRunPostedTasks, 0, 0);
}

void SearchWindowFrame::runPostedTasks() {
    std::vector<std::function<void()>> tasks;
    {
        const std::lock_guard<std::mutex> lock(tasksMutex_);
        tasks.swap(tasks_);
    }
    for (const std::function<void()>& task : tasks) {
        task();
    }
}

void SearchWindowFrame::startTicking() {
    SetTimer(window_, kTickTimer, kTickMilliseconds, nullptr);
}

void SearchWindowFrame::stopTicking() {
    KillTimer(window_, kTickTimer);
}

}  // namespace quillfen::win32
