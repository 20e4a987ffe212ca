#include "ui/win32/Win32ResultList.h"

#include <algorithm>
#include <array>

#include "app/LanguageTable.h"
#include "platform/windows/FileDrag.h"
#include "platform/windows/WideText.h"
#include "results/IconImageList.h"
#include "results/ResultTable.h"
#include "ui/ResultListPresenter.h"
#include "ui/win32/IcoBytesIcon.h"
#include "ui/win32/ResultContextMenu.h"
#include "ui/win32/ScreenScale.h"

namespace quillfen::win32 {

namespace {

struct ColumnLook {
    int width;
    int format;
};

// Widths in pixels on a screen of 96 dots per inch; "Size Byte" holds the size's sort key and is
// present but not visible.
// Row icons are 16 pixels at 96 dpi, as the icon list of both search windows.
constexpr int kSmallIconSize = 16;

// The widest texts of the columns whose cells have a fixed form.
constexpr std::array<const wchar_t*, ResultTable::kColumnCount> kWidestCells = {
    L"", L"", L"", L"0000-00-00 00:00:00", L"1023.99 KB", L""};
// Room around a cell's text, and beside a heading for the sort arrow, at 96 dpi.
constexpr int kCellMargins = 16;
constexpr int kSortArrowRoom = 18;

constexpr std::array<ColumnLook, ResultTable::kColumnCount> kColumns = {{
    {250, LVCFMT_LEFT},
    {280, LVCFMT_LEFT},
    {80, LVCFMT_LEFT},
    {130, LVCFMT_LEFT},
    {75, LVCFMT_RIGHT},
    {0, LVCFMT_RIGHT},
}};

// An icon that draws nothing, standing in for an image that cannot be made here, so that every
// later image keeps its index.
HICON blankIcon(int size) {
    const auto rowBytes = static_cast<std::size_t>((size + 15) / 16 * 2);
    const std::vector<BYTE> transparent(rowBytes * static_cast<std::size_t>(size), 0xFF);
    const std::vector<BYTE> black(transparent.size(), 0x00);
    return CreateIcon(GetModuleHandleW(nullptr), size, size, 1, 1, transparent.data(),
                      black.data());
}

bool controlHeld() {
    return (GetKeyState(VK_CONTROL) & 0x8000) != 0;
}

constexpr UINT_PTR kListSubclass = 1;

}  // namespace

Win32ResultList::~Win32ResultList() {
    if (images_ != nullptr) {
        ImageList_Destroy(images_);
    }
}

void Win32ResultList::attach(HWND list, ResultListPresenter& presenter, bool sortable) {
    list_ = list;
    presenter_ = &presenter;
    sortable_ = sortable;
    // Whole rows light up when selected, as users of file lists expect.
    ListView_SetExtendedListViewStyleEx(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER,
                                        LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    iconSize_ = ScreenScale(list_).toScreen(kSmallIconSize);
    images_ = ImageList_Create(iconSize_, iconSize_, ILC_COLOR32 | ILC_MASK, 16, 64);
    ListView_SetImageList(list_, images_, LVSIL_SMALL);
    addColumns();
    SetWindowSubclass(list_, &Win32ResultList::listProcedure, kListSubclass,
                      reinterpret_cast<DWORD_PTR>(this));
    if (!sortable_) {
        HWND header = ListView_GetHeader(list_);
        SetWindowLongPtrW(header, GWL_STYLE, GetWindowLongPtrW(header, GWL_STYLE) & ~HDS_BUTTONS);
    }
}

void Win32ResultList::addColumns() {
    const ScreenScale scale(list_);
    for (int column = 0; column < ResultTable::kColumnCount; ++column) {
        const std::wstring title = platform::toWide(translate(ResultTable::columnTitle(column)));
        LVCOLUMNW look{};
        look.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        look.fmt = kColumns[static_cast<std::size_t>(column)].format;
        const int templateWidth = scale.toScreen(kColumns[static_cast<std::size_t>(column)].width);
        look.cx = templateWidth == 0 ? 0 : std::max(templateWidth, textWidth(column, title));
        look.pszText = const_cast<wchar_t*>(title.c_str());
        look.iSubItem = column;
        ListView_InsertColumn(list_, column, &look);
    }
}

// Measured in the list's own font, so that a larger font or another language never cuts a date
// or a heading short.
int Win32ResultList::textWidth(int column, const std::wstring& heading) const {
    const ScreenScale scale(list_);
    const int headingWidth = ListView_GetStringWidth(list_, heading.c_str()) +
                             scale.toScreen(kCellMargins + kSortArrowRoom);
    const wchar_t* widest = kWidestCells[static_cast<std::size_t>(column)];
    const int cellWidth =
        *widest == L'\0' ? 0
                         : ListView_GetStringWidth(list_, widest) + scale.toScreen(kCellMargins);
    return std::max(headingWidth, cellWidth);
}

std::vector<int> Win32ResultList::fixedFormWidths() const {
    std::vector<int> widths;
    for (int column = 0; column + 1 < ResultTable::kColumnCount; ++column) {
        const bool fixedForm = *kWidestCells[static_cast<std::size_t>(column)] != L'\0';
        widths.push_back(
            fixedForm
                ? textWidth(column, platform::toWide(translate(ResultTable::columnTitle(column))))
                : 0);
    }
    return widths;
}

void Win32ResultList::showResults(const ResultTable& table, const IconImageList& icons) {
    table_ = &table;
    icons_ = &icons;
    resultsReset();
}

// The rows were cleared or reordered: what was selected no longer names the same rows.
void Win32ResultList::resultsReset() {
    if (list_ == nullptr || table_ == nullptr) {
        return;
    }
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(list_, static_cast<int>(table_->rowCount()), 0);
    InvalidateRect(list_, nullptr, TRUE);
}

// Rows only ever arrive at the end, so the rows on screen stay valid and the view stays put.
void Win32ResultList::resultsAppended(std::size_t first, std::size_t count) {
    if (list_ != nullptr) {
        ListView_SetItemCountEx(list_, static_cast<int>(first + count),
                                LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    }
}

bool Win32ResultList::handleNotify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != list_ || presenter_ == nullptr) {
        return false;
    }
    result = 0;
    switch (header.code) {
        case LVN_GETDISPINFOW:
            fillCell(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
            return true;
        case LVN_COLUMNCLICK:
            onHeaderClicked(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
            return true;
        case LVN_KEYDOWN:
            return onKeyDown(reinterpret_cast<const NMLVKEYDOWN&>(header));
        case LVN_BEGINDRAG:
        case LVN_BEGINRDRAG:
            dragSelectedRows();
            return true;
        case NM_DBLCLK: {
            const int row = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
            presenter_->onDoubleClick(row < 0 ? std::nullopt
                                              : std::optional(static_cast<std::size_t>(row)));
            return true;
        }
        default:
            return false;
    }
}

void Win32ResultList::fillCell(NMLVDISPINFOW& info) {
    LVITEMW& item = info.item;
    if (table_ == nullptr || item.iItem < 0 ||
        static_cast<std::size_t>(item.iItem) >= table_->rowCount()) {
        return;
    }
    const auto row = static_cast<std::size_t>(item.iItem);
    if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
        const std::wstring text = platform::toWide(table_->cellText(row, item.iSubItem));
        lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
    }
    if ((item.mask & LVIF_IMAGE) != 0) {
        const int icon = table_->iconIndex(row);
        loadIconsUpTo(icon);
        item.iImage = icon >= 0 && icon < loadedIcons_ ? icon : I_IMAGENONE;
    }
}

// The search adds icons as it meets new types; the image list takes them in the same order when
// a row first needs one.
void Win32ResultList::loadIconsUpTo(int index) {
    if (icons_ == nullptr) {
        return;
    }
    const int available = static_cast<int>(icons_->size());
    while (loadedIcons_ <= index && loadedIcons_ < available) {
        const std::shared_ptr<const IconSource> source = icons_->source(loadedIcons_);
        HICON icon = nullptr;
        if (source != nullptr && source->kind() == IconSource::Kind::IcoBytes) {
            icon = iconFromIcoBytes(source->data(), iconSize_);
        }
        if (icon == nullptr) {
            icon = blankIcon(iconSize_);
        }
        ImageList_ReplaceIcon(images_, -1, icon);
        DestroyIcon(icon);
        ++loadedIcons_;
    }
}

void Win32ResultList::onHeaderClicked(int column) {
    if (!sortable_) {
        return;
    }
    presenter_->onHeaderClicked(column);
}

void Win32ResultList::showSortArrow(std::optional<SortKeyList::Key> key) {
    if (list_ == nullptr) {
        return;
    }
    HWND header = ListView_GetHeader(list_);
    const int count = Header_GetItemCount(header);
    for (int index = 0; index < count; ++index) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, index, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (key && index == key->column) {
            item.fmt |= key->ascending ? HDF_SORTUP : HDF_SORTDOWN;
        }
        Header_SetItem(header, index, &item);
    }
}

// The dialog turns Enter into its default button, Find, before the list sees it. On selected rows
// the list keeps Enter for itself, to open them.
LRESULT CALLBACK Win32ResultList::listProcedure(HWND list, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_GETDLGCODE && lParam != 0) {
        const MSG& key = *reinterpret_cast<const MSG*>(lParam);
        if (key.message == WM_KEYDOWN && key.wParam == VK_RETURN &&
            ListView_GetSelectedCount(list) > 0) {
            return DefSubclassProc(list, message, wParam, lParam) | DLGC_WANTMESSAGE;
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(list, &Win32ResultList::listProcedure, kListSubclass);
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

bool Win32ResultList::onKeyDown(const NMLVKEYDOWN& key) {
    if (key.wVKey == VK_RETURN) {
        return presenter_->onEnterInList();
    }
    if (!controlHeld() || key.wVKey < 'A' || key.wVKey > 'Z') {
        return false;
    }
    presenter_->onControlKey(static_cast<char>(key.wVKey));
    return true;
}

// The drop target chooses between copying and moving; whatever it did, the rows whose files it
// moved away leave the list.
void Win32ResultList::dragSelectedRows() {
    const std::vector<std::size_t> rows = selectedRows();
    if (rows.empty()) {
        return;
    }
    std::vector<std::string> paths;
    paths.reserve(rows.size());
    for (const std::size_t row : rows) {
        paths.push_back(rowPath(row));
    }
    if (platform::dragFilesOut(paths)) {
        presenter_->onRowsDropped(rows);
    }
}

void Win32ResultList::showContextMenu(HWND owner, POINT screenPoint) {
    if (presenter_ == nullptr) {
        return;
    }
    bool clickOnRow = false;
    if (screenPoint.x == -1 && screenPoint.y == -1) {
        const int focused = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
        clickOnRow = focused >= 0;
        RECT row{};
        if (!clickOnRow || !ListView_GetItemRect(list_, focused, &row, LVIR_LABEL)) {
            GetClientRect(list_, &row);
        }
        screenPoint = POINT{row.left, row.bottom};
        ClientToScreen(list_, &screenPoint);
    } else {
        LVHITTESTINFO hit{};
        hit.pt = screenPoint;
        ScreenToClient(list_, &hit.pt);
        clickOnRow = ListView_HitTest(list_, &hit) >= 0;
    }
    const ResultContextMenu menu(presenter_->contextMenu(clickOnRow));
    if (menu.popup() != nullptr) {
        TrackPopupMenu(menu.popup(), TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, 0, owner,
                       nullptr);
    }
}

std::size_t Win32ResultList::rowCount() const {
    return list_ == nullptr ? 0 : static_cast<std::size_t>(ListView_GetItemCount(list_));
}

std::vector<std::size_t> Win32ResultList::selectedRows() const {
    std::vector<std::size_t> rows;
    if (list_ == nullptr) {
        return rows;
    }
    for (int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list_, row, LVNI_SELECTED)) {
        rows.push_back(static_cast<std::size_t>(row));
    }
    return rows;
}

std::string Win32ResultList::rowPath(std::size_t row) const {
    return table_ == nullptr ? std::string() : table_->rowPath(row);
}

void Win32ResultList::selectAll() {
    if (list_ != nullptr) {
        ListView_SetItemState(list_, -1, LVIS_SELECTED, LVIS_SELECTED);
        SetFocus(list_);
    }
}

// Everything becomes selected at once, then the rows that were selected are cleared one by one,
// so the cost follows the selection, not the whole list.
void Win32ResultList::invertSelection() {
    if (list_ == nullptr || rowCount() == 0) {
        return;
    }
    const std::vector<std::size_t> wereSelected = selectedRows();
    ListView_SetItemState(list_, -1, LVIS_SELECTED, LVIS_SELECTED);
    for (const std::size_t row : wereSelected) {
        ListView_SetItemState(list_, static_cast<int>(row), 0, LVIS_SELECTED);
    }
}

}  // namespace quillfen::win32
