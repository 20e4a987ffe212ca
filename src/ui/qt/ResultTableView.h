#pragma once

#include <QTableView>

namespace quillfen::qt {

// The result list's table. Home and End go to the first and the last row, as in a list, rather
// than to the first and last column of the current row.
class ResultTableView : public QTableView {
    Q_OBJECT

public:
    using QTableView::QTableView;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
};

}  // namespace quillfen::qt
