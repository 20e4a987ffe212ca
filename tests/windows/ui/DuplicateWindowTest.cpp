// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "SearchWindowFixture.h"
#include "platform/windows/WideText.h"
#include "ui/win32/SearchDialogIds.h"
#include "ui/win32/Win32DuplicateWindow.h"
#include "ui/win32/Win32MainWindow.h"

namespace quillfen {
namespace {

using test::ShownRow;

class DuplicateWindowTest : public test::SearchWindowFixture {
protected:
    void SetUp() override {
        SearchWindowFixture::SetUp();
        write("report.doc", "same body");
        write("a/copy.doc", "same body");
        write("a/b/other.txt", "same body");
        write("a/b/differs.doc", "same bodY");
        write("c/longer.doc", "same body!");
    }

    std::string text(HWND dialog, int id) const {
        wchar_t value[1024] = {};
        GetDlgItemTextW(dialog, id, value, 1024);
        return platform::fromWide(value);
    }
};

TEST_F(DuplicateWindowTest, OpensOnTheReferenceWithAllDrivesAndBodyMatching) {
    win32::Win32DuplicateWindow window(folder / "tree/report.doc");
    HWND dialog = window.window();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(text(dialog, IDC_DUPLICATE_REFERENCE), folder / "tree/report.doc");
    EXPECT_EQ(text(dialog, IDC_LOOK_IN), "*");
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_MATCH_BODY), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_MATCH_NAME), BST_UNCHECKED);
    EXPECT_TRUE(text(dialog, 0).empty());
    wchar_t title[128] = {};
    GetWindowTextW(dialog, title, 128);
    EXPECT_TRUE(platform::fromWide(title).starts_with("Document Duplication Search - Quillfen! "));
    EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(GetDlgItem(dialog, IDC_RESULT_LIST))), 6);
}

TEST_F(DuplicateWindowTest, FindListsTheDuplicatesTheCommandLineFinds) {
    win32::Win32DuplicateWindow window(folder / "tree/report.doc");
    HWND dialog = window.window();
    type(dialog, IDC_LOOK_IN, tree());
    click(dialog, IDC_DUPLICATE_FIND);
    ASSERT_TRUE(pumpUntil(dialog, [&] { return !window.presenter().searching(); }));
    std::vector<ShownRow> shown = shownRows(GetDlgItem(dialog, IDC_RESULT_LIST));
    std::vector<ShownRow> expected = cliRows({"dupes", folder / "tree/report.doc", "--in", tree()});
    std::sort(shown.begin(), shown.end());
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(expected.size(), 2u);
    EXPECT_EQ(shown, expected);
}

// The duplicate list sorts by its headers as the search window's does, and a new search, which
// lists its rows as found, takes the arrow away.
TEST_F(DuplicateWindowTest, HeaderClicksSortAndTheNextSearchClearsTheArrow) {
    win32::Win32DuplicateWindow window(folder / "tree/report.doc");
    HWND dialog = window.window();
    HWND list = GetDlgItem(dialog, IDC_RESULT_LIST);
    type(dialog, IDC_LOOK_IN, tree());
    click(dialog, IDC_DUPLICATE_FIND);
    ASSERT_TRUE(pumpUntil(dialog, [&] { return !window.presenter().searching(); }));
    std::vector<ShownRow> rows = shownRows(list);
    ASSERT_EQ(rows.size(), 2u);
    clickHeader(dialog, IDC_RESULT_LIST, 1);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(shownRows(list), rows);
    EXPECT_NE(headerFormat(list, 1) & HDF_SORTUP, 0);
    clickHeader(dialog, IDC_RESULT_LIST, 1);
    std::reverse(rows.begin(), rows.end());
    EXPECT_EQ(shownRows(list), rows);
    EXPECT_NE(headerFormat(list, 1) & HDF_SORTDOWN, 0);
    click(dialog, IDC_DUPLICATE_FIND);
    ASSERT_TRUE(pumpUntil(dialog, [&] { return !window.presenter().searching(); }));
    EXPECT_EQ(headerFormat(list, 1) & (HDF_SORTUP | HDF_SORTDOWN), 0);
}

// What the duplicate window showed while it was open over the search window.
struct OpenedDuplicateWindow {
    bool seen = false;
    std::string reference;
    std::string title;
};
OpenedDuplicateWindow opened;

BOOL CALLBACK closeDuplicateWindow(HWND window, LPARAM) {
    wchar_t title[128] = {};
    GetWindowTextW(window, title, 128);
    const std::string text = platform::fromWide(title);
    if (!IsWindowEnabled(window) || !text.starts_with("Document Duplication Search")) {
        return TRUE;
    }
    wchar_t reference[1024] = {};
    GetDlgItemTextW(window, IDC_DUPLICATE_REFERENCE, reference, 1024);
    opened = {true, platform::fromWide(reference), text};
    PostMessageW(window, WM_CLOSE, 0, 0);
    return FALSE;
}

void CALLBACK lookForDuplicateWindow(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!opened.seen) {
        EnumThreadWindows(GetCurrentThreadId(), closeDuplicateWindow, 0);
    }
    if (opened.seen) {
        KillTimer(nullptr, timer);
    }
}

// The menu's "Document Duplication Search" opens the duplicate window on the selected row, over
// the search window, which comes back when it closes.
TEST_F(DuplicateWindowTest, OpensFromTheSearchWindowsMenuOnTheSelectedRow) {
    win32::Win32MainWindow window("");
    HWND dialog = window.window();
    HWND list = GetDlgItem(dialog, IDC_RESULT_LIST);
    type(dialog, IDC_NAME_PATTERNS, "report.doc");
    type(dialog, IDC_LOOK_IN, tree());
    click(dialog, IDC_SEARCH_FIND);
    ASSERT_TRUE(pumpUntil(dialog, [&] { return !window.presenter().searching(); }));
    ASSERT_EQ(ListView_GetItemCount(list), 1);
    selectRows(list, {0});
    opened = {};
    SetTimer(nullptr, 0, 50, lookForDuplicateWindow);
    SendMessageW(dialog, WM_COMMAND, IDM_ACTION_DUPLICATE_SEARCH, 0);
    EXPECT_TRUE(opened.seen);
    EXPECT_EQ(opened.reference, folder / "tree/report.doc");
    EXPECT_TRUE(IsWindowEnabled(dialog));
}

}  // namespace
}  // namespace quillfen
