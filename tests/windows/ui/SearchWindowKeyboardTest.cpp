// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "SearchWindowFixture.h"
#include "platform/windows/WideText.h"
#include "ui/win32/SearchDialogIds.h"
#include "ui/win32/Win32MainWindow.h"

namespace quillfen {
namespace {

// The keys a Windows user reaches for in the search window, sent where the keyboard sends them:
// to the control that has the focus, through the window's own message loop.
class SearchWindowKeyboardTest : public test::SearchWindowFixture {
protected:
    void SetUp() override {
        SearchWindowFixture::SetUp();
        write("alpha.txt", "a");
        write("notes/beta.txt", "b");
        write("notes/skip.log", "c");
        window = std::make_unique<win32::Win32MainWindow>("");
        dialog = window->window();
        list = GetDlgItem(dialog, IDC_RESULT_LIST);
        ShowWindow(GetDlgItem(dialog, IDC_TRANSLATION_BANNER), SW_HIDE);
    }
    void TearDown() override {
        window.reset();
        SearchWindowFixture::TearDown();
    }

    // The window's own control that has the focus: a combo box rather than the edit inside it.
    int focusedControl() const {
        HWND focus = GetFocus();
        while (focus != nullptr && GetParent(focus) != dialog) {
            focus = GetParent(focus);
        }
        return focus == nullptr ? 0 : GetDlgCtrlID(focus);
    }

    void press(WORD key) {
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
        PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
        bool posted = false;
        ASSERT_TRUE(pumpUntil(dialog, [&] { return std::exchange(posted, true); }));
    }

    bool visible(int id) const {
        return (GetWindowLongPtrW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
    }

    std::unique_ptr<win32::Win32MainWindow> window;
    HWND dialog = nullptr;
    HWND list = nullptr;
};

TEST_F(SearchWindowKeyboardTest, EnterInAnyBoxRunsFind) {
    // Each search finds one file more than the one before, so each row count tells its search.
    int expectedRows = 2;
    for (const int box : {IDC_NAME_PATTERNS, IDC_LOOK_IN, IDC_CONTENT_TEXT}) {
        SCOPED_TRACE(box);
        write("more/" + std::to_string(box) + ".txt", "m");
        ++expectedRows;
        type(dialog, IDC_NAME_PATTERNS, "*.txt");
        type(dialog, IDC_LOOK_IN, tree());
        SetFocus(GetDlgItem(dialog, box));
        ASSERT_EQ(focusedControl(), box);
        press(VK_RETURN);
        ASSERT_TRUE(pumpUntil(dialog, [&] {
            return !window->presenter().searching() && ListView_GetItemCount(list) == expectedRows;
        }));
        EXPECT_EQ(focusedControl(), box) << "the focus stays in the box";
    }
}

// Only controls that can take input stop the Tab key, in the template's order; the hidden
// hexadecimal box, the disabled dates and size bounds and the radio button not chosen are passed.
TEST_F(SearchWindowKeyboardTest, TabFollowsTheTemplatesOrder) {
    const std::vector<int> expected = {IDC_NAME_PATTERNS,     IDC_LOOK_IN,      IDC_BROWSE_LOOK_IN,
                                       IDC_SEARCH_SUBFOLDERS, IDC_CONTENT_TEXT, IDC_TEXT_MODE,
                                       IDC_MATCH_CASE,        IDC_MATCH_ANSI,   IDC_MATCH_UNICODE,
                                       IDC_MATCH_UTF8,        IDC_DATE_OPTION,  IDC_SIZE_OPTION,
                                       IDC_RESULT_LIST,       IDC_SEARCH_FIND};
    SetFocus(GetDlgItem(dialog, IDC_SEARCH_FIND));
    std::vector<int> visited;
    for (std::size_t step = 0; step < expected.size(); ++step) {
        press(VK_TAB);
        visited.push_back(focusedControl());
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(SearchWindowKeyboardTest, ControlAInTheListSelectsEveryRow) {
    type(dialog, IDC_NAME_PATTERNS, "*");
    type(dialog, IDC_LOOK_IN, tree());
    click(dialog, IDC_SEARCH_FIND);
    ASSERT_TRUE(pumpUntil(dialog, [this] { return !window->presenter().searching(); }));
    ASSERT_EQ(ListView_GetItemCount(list), 4);
    selectRows(list, {1});
    pressControlKey(list, 'A');
    EXPECT_EQ(ListView_GetSelectedCount(list), 4u);
    EXPECT_EQ(GetFocus(), list);
}

// A button hidden while it has the focus would leave the keyboard with nowhere to go.
TEST_F(SearchWindowKeyboardTest, TheFocusMovesBetweenFindAndStopAsTheySwapPlaces) {
    type(dialog, IDC_NAME_PATTERNS, "*.txt");
    type(dialog, IDC_LOOK_IN, tree());
    SetFocus(GetDlgItem(dialog, IDC_SEARCH_FIND));
    click(dialog, IDC_SEARCH_FIND);
    ASSERT_TRUE(window->presenter().searching());
    EXPECT_TRUE(visible(IDC_SEARCH_STOP));
    EXPECT_EQ(focusedControl(), IDC_SEARCH_STOP);
    ASSERT_TRUE(pumpUntil(dialog, [this] { return !window->presenter().searching(); }));
    EXPECT_EQ(focusedControl(), IDC_SEARCH_FIND);

    write("gamma.txt", "g");
    press(VK_RETURN);
    EXPECT_TRUE(pumpUntil(dialog, [this] {
        return !window->presenter().searching() && ListView_GetItemCount(list) == 3;
    })) << "Enter on Find searches again";
}

}  // namespace
}  // namespace quillfen
