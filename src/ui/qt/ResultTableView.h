#pragma once

#include <QTableView>
#include <functional>

namespace quillfen::qt {

// The result list's table. Home and End go to the first and the last row, as in a list, rather
// than to the first and last column of the current row. Dragging selected rows hands the drag to
// the list that owns the view.
class ResultTableView : public QTableView {
    Q_OBJECT

public:
    using QTableView::QTableView;

    void setDragStarter(std::function<void()> starter) { dragStarter_ = std::move(starter); }

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    std::function<void()> dragStarter_;
};

}  // namespace quillfen::qt
