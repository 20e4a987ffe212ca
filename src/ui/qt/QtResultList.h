#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "ui/ResultListView.h"

class QTableView;
class QWidget;

namespace quillfen {
class ResultListPresenter;
}

namespace quillfen::qt {

class QtDesktopShell;
class QtIconImages;
class QtResultSelection;
class ResultListModel;

// The result list of a search window: the table view with its model, icons, context menu,
// Ctrl shortcuts, double click and the ticks that bring found rows in batches.
class QtResultList : public QObject {
    Q_OBJECT

public:
    explicit QtResultList(QWidget* parent);
    ~QtResultList() override;

    // Connects the list's events to the presenter; header clicks sort only when `sortable`.
    void connectTo(ResultListPresenter& presenter, bool sortable);

    QTableView* view() const { return view_; }
    // Widens the columns whose headings or cells would not fit in the window's font.
    void fitColumnsToTexts();
    // The widths that the columns of fixed-form cells (dates, sizes) need; 0 for the others.
    std::vector<int> fixedFormWidths() const;
    // The width the list needs to show all its columns without a horizontal scroll bar.
    int fullWidth() const;

    void showResults(const ResultTable& table, const IconImageList& icons);
    void resultsReset();
    void resultsAppended(std::size_t first, std::size_t count);
    void showSortArrow(std::optional<SortKeyList::Key> key);
    ResultSelection& selection();
    platform::DesktopShell& shell();
    void postToUserInterface(std::function<void()> task);
    void startTicking() { ticker_.start(); }
    void stopTicking() { ticker_.stop(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showContextMenu(const QPoint& position);
    int textWidth(int column) const;
    void dragSelectedRows();

    QTableView* view_ = nullptr;
    ResultListModel* model_ = nullptr;
    const ResultTable* table_ = nullptr;
    ResultListPresenter* presenter_ = nullptr;
    std::unique_ptr<QtResultSelection> selection_;
    std::unique_ptr<QtDesktopShell> shell_;
    std::unique_ptr<QtIconImages> iconImages_;
    QTimer ticker_;
};

}  // namespace quillfen::qt
