#include "ui/qt/QtResultSelection.h"

#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>

#include "results/ResultTable.h"

namespace quillfen::qt {

QtResultSelection::QtResultSelection(QTableView& view, const ResultTable*& table)
    : view_(view), table_(table) {}

std::size_t QtResultSelection::rowCount() const {
    return static_cast<std::size_t>(view_.model()->rowCount());
}

std::vector<std::size_t> QtResultSelection::selectedRows() const {
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : view_.selectionModel()->selectedRows()) {
        rows.push_back(static_cast<std::size_t>(index.row()));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::string QtResultSelection::rowPath(std::size_t row) const {
    return table_ == nullptr ? std::string() : table_->rowPath(row);
}

void QtResultSelection::selectAll() {
    view_.selectAll();
    view_.setFocus();
}

void QtResultSelection::invertSelection() {
    QAbstractItemModel* model = view_.model();
    const int rows = model->rowCount();
    if (rows == 0) {
        return;
    }
    const QItemSelection everything(model->index(0, 0),
                                    model->index(rows - 1, model->columnCount() - 1));
    view_.selectionModel()->select(everything, QItemSelectionModel::Toggle);
}

}  // namespace quillfen::qt
