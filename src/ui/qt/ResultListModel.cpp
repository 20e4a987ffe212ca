#include "ui/qt/ResultListModel.h"

#include <QIcon>

#include "app/LanguageTable.h"
#include "results/ResultTable.h"
#include "ui/qt/QtControls.h"

namespace quillfen::qt {

ResultListModel::ResultListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultListModel::setTable(const ResultTable* table) {
    beginResetModel();
    table_ = table;
    shownRows_ = table_ == nullptr ? 0 : static_cast<int>(table_->rowCount());
    endResetModel();
}

void ResultListModel::setIconSource(IconForRow iconForRow) {
    iconForRow_ = std::move(iconForRow);
}

void ResultListModel::reset() {
    beginResetModel();
    shownRows_ = table_ == nullptr ? 0 : static_cast<int>(table_->rowCount());
    endResetModel();
}

void ResultListModel::appended(std::size_t first, std::size_t count) {
    if (count == 0 || table_ == nullptr) {
        return;
    }
    const int firstRow = static_cast<int>(first);
    beginInsertRows({}, firstRow, firstRow + static_cast<int>(count) - 1);
    shownRows_ = static_cast<int>(table_->rowCount());
    endInsertRows();
}

int ResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int ResultListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ResultTable::kColumnCount;
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    if (table_ == nullptr || !index.isValid() || index.row() >= shownRows_) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return QtControls::fromBytes(table_->cellText(row, index.column()));
        case Qt::DecorationRole:
            if (index.column() == ResultTable::kNameColumn && iconForRow_) {
                return iconForRow_(table_->iconIndex(row));
            }
            return {};
        case Qt::TextAlignmentRole:
            if (index.column() >= ResultTable::kSizeColumn) {
                return QVariant(Qt::AlignRight | Qt::AlignVCenter);
            }
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return QtControls::fromBytes(translate(std::string(ResultTable::columnTitle(section))));
    }
    if (role == Qt::TextAlignmentRole) {
        return section >= ResultTable::kSizeColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

Qt::ItemFlags ResultListModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return index.isValid() ? flags | Qt::ItemIsDragEnabled : flags;
}

}  // namespace quillfen::qt
