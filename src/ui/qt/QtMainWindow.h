#pragma once

#include <QDialog>
#include <memory>

#include "ui/MainWindowPresenter.h"
#include "ui/MainWindowView.h"
#include "ui/qt/QtSearchWindowBase.h"

class QLayout;
class QTableView;

namespace quillfen::qt {

// The search window in Qt Widgets: controls, layout and signals. Every rule lives in the
// presenter; this class only draws and forwards.
class QtMainWindow : public QDialog, public QtSearchWindowBase<MainControl, MainWindowView> {
    Q_OBJECT

public:
    explicit QtMainWindow(const std::string& lookInArgument, QWidget* parent = nullptr);
    ~QtMainWindow() override;

    MainWindowPresenter& presenter() { return *presenter_; }
    QTableView* resultView() const;

    void setTitle(const std::string& title) override;
    CalendarDate date(MainControl control) const override;
    void setDate(MainControl control, const CalendarDate& date) override;
    void openConfiguration() override;
    void openDuplicateSearch(const std::optional<std::string>& referencePath) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QLayout* buildStatusGroup();
    QLayout* buildInputRows();
    void connectSignals();
    static WindowLayoutSettings layoutSettings();

    std::unique_ptr<MainWindowPresenter> presenter_;
};

}  // namespace quillfen::qt
