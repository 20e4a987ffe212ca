#include "ui/qt/ResultTableView.h"

namespace quillfen::qt {

QModelIndex ResultTableView::moveCursor(CursorAction cursorAction,
                                        Qt::KeyboardModifiers modifiers) {
    const bool toFirst = cursorAction == MoveHome;
    if ((!toFirst && cursorAction != MoveEnd) || model() == nullptr) {
        return QTableView::moveCursor(cursorAction, modifiers);
    }
    const int rows = model()->rowCount(rootIndex());
    if (rows == 0) {
        return {};
    }
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    return model()->index(toFirst ? 0 : rows - 1, column, rootIndex());
}

}  // namespace quillfen::qt
