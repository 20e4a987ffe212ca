#include "SearchWindowFixture.h"

// clang-format off
#include <shellapi.h>
// clang-format on

#include <chrono>
#include <sstream>

#include "platform/windows/WideText.h"
#include "platform/windows/WindowsSystemInfo.h"
#include "support/ProgramRun.h"

namespace quillfen::test {

namespace {

std::vector<std::string> splitAt(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::string piece;
    std::istringstream stream(text);
    while (std::getline(stream, piece, separator)) {
        pieces.push_back(piece);
    }
    return pieces;
}

// The command line's tab-separated form writes a backslash twice.
std::string unescaped(const std::string& cell) {
    std::string text;
    for (std::size_t at = 0; at < cell.size(); ++at) {
        text += cell[at];
        if (cell[at] == '\\' && at + 1 < cell.size() && cell[at + 1] == '\\') {
            ++at;
        }
    }
    return text;
}

}  // namespace

bool SearchWindowFixture::pumpUntil(HWND dialog, const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsWindow(dialog) || !IsDialogMessageW(dialog, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    return true;
}

void SearchWindowFixture::type(HWND dialog, int id, const std::string& text) {
    SetWindowTextW(GetDlgItem(dialog, id), platform::toWide(text).c_str());
}

void SearchWindowFixture::click(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SearchWindowFixture::clickHeader(HWND dialog, int listId, int column) {
    NMLISTVIEW click{};
    click.hdr.hwndFrom = GetDlgItem(dialog, listId);
    click.hdr.idFrom = static_cast<UINT_PTR>(listId);
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageW(dialog, WM_NOTIFY, static_cast<WPARAM>(listId), reinterpret_cast<LPARAM>(&click));
}

void SearchWindowFixture::pressControlKey(HWND control, WORD key) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE before = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(control, WM_KEYDOWN, key, 1);
    SendMessageW(control, WM_KEYUP, key, 0xC0000001);
    keys[VK_CONTROL] = before;
    SetKeyboardState(keys);
}

void SearchWindowFixture::selectRows(HWND list, const std::vector<int>& rows) {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    for (const int row : rows) {
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
    }
}

std::string SearchWindowFixture::cellText(HWND list, int row, int column) {
    wchar_t text[1024] = {};
    ListView_GetItemText(list, row, column, text, 1024);
    return platform::fromWide(text);
}

std::vector<ShownRow> SearchWindowFixture::shownRows(HWND list) {
    std::vector<ShownRow> rows;
    const int count = ListView_GetItemCount(list);
    for (int row = 0; row < count; ++row) {
        rows.push_back({cellText(list, row, 0), cellText(list, row, 1), cellText(list, row, 4)});
    }
    return rows;
}

int SearchWindowFixture::headerFormat(HWND list, int column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    Header_GetItem(ListView_GetHeader(list), column, &item);
    return item.fmt;
}

std::vector<ShownRow> SearchWindowFixture::cliRows(
    const std::vector<std::string>& arguments) const {
    const std::string self = platform::WindowsSystemInfo().executablePath();
    const std::string cli = self.substr(0, self.rfind('\\') + 1) + "quillfen-cli.exe";
    std::vector<std::string> all = arguments;
    all.insert(all.end(), {"--format", "tsv"});
    const ProgramResult result = runProgram(cli, all);
    std::vector<ShownRow> rows;
    std::vector<std::string> lines = splitAt(result.out, '\n');
    for (std::size_t line = 1; line < lines.size(); ++line) {
        if (!lines[line].empty() && lines[line].back() == '\r') {
            lines[line].pop_back();
        }
        const std::vector<std::string> cells = splitAt(lines[line], '\t');
        if (cells.size() >= 5) {
            rows.push_back({unescaped(cells[0]), unescaped(cells[1]), unescaped(cells[4])});
        }
    }
    return rows;
}

std::vector<std::string> SearchWindowFixture::clipboardFiles() {
    std::vector<std::string> files;
    if (!OpenClipboard(nullptr)) {
        return files;
    }
    if (auto* drop = static_cast<HDROP>(GetClipboardData(CF_HDROP))) {
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT index = 0; index < count; ++index) {
            wchar_t path[MAX_PATH * 2] = {};
            DragQueryFileW(drop, index, path, MAX_PATH * 2);
            files.push_back(platform::fromWide(path));
        }
    }
    CloseClipboard();
    return files;
}

DWORD SearchWindowFixture::clipboardDropEffect() {
    DWORD effect = 0;
    if (!OpenClipboard(nullptr)) {
        return effect;
    }
    if (HANDLE block = GetClipboardData(RegisterClipboardFormatW(L"Preferred DropEffect"))) {
        if (const auto* value = static_cast<const DWORD*>(GlobalLock(block))) {
            effect = *value;
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return effect;
}

}  // namespace quillfen::test
