#pragma once

#include <QAbstractTableModel>
#include <functional>

namespace quillfen {
class ResultTable;
}

namespace quillfen::qt {

// The result rows as a Qt table model. It reads the presenter's table directly; cell texts are
// made when a cell is drawn. Rows arrive in batches and are appended, never inserted.
class ResultListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using IconForRow = std::function<QIcon(int iconIndex)>;

    explicit ResultListModel(QObject* parent = nullptr);

    void setTable(const ResultTable* table);
    void setIconSource(IconForRow iconForRow);
    void reset();
    void appended(std::size_t first, std::size_t count);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Rows can be dragged out of the list.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const ResultTable* table_ = nullptr;
    IconForRow iconForRow_;
    int shownRows_ = 0;
};

}  // namespace quillfen::qt
