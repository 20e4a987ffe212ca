#pragma once

#include "results/ResultSelection.h"

class QTableView;

namespace quillfen {
class ResultTable;
}

namespace quillfen::qt {

// A result list view as the result actions see it: its rows in their current order and the
// user's selection.
class QtResultSelection : public ResultSelection {
public:
    QtResultSelection(QTableView& view, const ResultTable*& table);

    std::size_t rowCount() const override;
    std::vector<std::size_t> selectedRows() const override;
    std::string rowPath(std::size_t row) const override;
    void selectAll() override;
    void invertSelection() override;

private:
    QTableView& view_;
    const ResultTable*& table_;
};

}  // namespace quillfen::qt
