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

// The list builds the drag itself: the item view's own drag would ask the model to remove the
// rows after a move, whether or not their files went.
void ResultTableView::startDrag(Qt::DropActions supportedActions) {
    if (dragStarter_) {
        dragStarter_();
    } else {
        QTableView::startDrag(supportedActions);
    }
}

}  // namespace quillfen::qt
