#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "results/ResultSelection.h"
#include "results/SortKeyList.h"

namespace quillfen {
class IconImageList;
class ResultListPresenter;
class ResultTable;
}  // namespace quillfen

namespace quillfen::win32 {

// The result list of a search window: a report list view with owner data, so the list asks for
// the cells of the rows it draws and a million rows cost no more than the table holding them.
// It also answers the result actions' questions about its rows and selection.
class Win32ResultList : public ResultSelection {
public:
    Win32ResultList() = default;
    ~Win32ResultList() override;
    Win32ResultList(const Win32ResultList&) = delete;
    Win32ResultList& operator=(const Win32ResultList&) = delete;

    // Sets up the columns and the icon list; header clicks sort only when `sortable`.
    void attach(HWND list, ResultListPresenter& presenter, bool sortable);
    HWND window() const { return list_; }
    // The widths, in pixels, that the columns of fixed-form cells (dates, sizes) need; 0 for the
    // others.
    std::vector<int> fixedFormWidths() const;

    void showResults(const ResultTable& table, const IconImageList& icons);
    void resultsReset();
    void resultsAppended(std::size_t first, std::size_t count);
    void showSortArrow(std::optional<SortKeyList::Key> key);

    // A notification from the list; true when it was handled, with the answer in `result`.
    bool handleNotify(const NMHDR& header, LRESULT& result);
    // The context menu at a screen point, or at the focused row for (-1, -1), the keyboard's way.
    void showContextMenu(HWND owner, POINT screenPoint);

    std::size_t rowCount() const override;
    std::vector<std::size_t> selectedRows() const override;
    std::string rowPath(std::size_t row) const override;
    void selectAll() override;
    void invertSelection() override;

private:
    void addColumns();
    int textWidth(int column, const std::wstring& heading) const;
    void fillCell(NMLVDISPINFOW& info);
    void loadIconsUpTo(int index);
    void onHeaderClicked(int column);
    bool onKeyDown(const NMLVKEYDOWN& key);
    static LRESULT CALLBACK listProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR subclass, DWORD_PTR self);
    void dragSelectedRows();

    HWND list_ = nullptr;
    ResultListPresenter* presenter_ = nullptr;
    bool sortable_ = false;
    const ResultTable* table_ = nullptr;
    const IconImageList* icons_ = nullptr;
    HIMAGELIST images_ = nullptr;
    int iconSize_ = 16;
    int loadedIcons_ = 0;
};

}  // namespace quillfen::win32
