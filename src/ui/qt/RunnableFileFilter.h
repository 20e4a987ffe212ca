#pragma once

#include <QSortFilterProxyModel>

namespace quillfen::qt {

// Keeps the folders and the runnable files of a file-system model. The dialog's own permission
// filter cannot say this: asking for runnable entries there hides every readable one.
class RunnableFileFilter : public QSortFilterProxyModel {
    Q_OBJECT

public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
};

}  // namespace quillfen::qt
