#pragma once

#include <QDialog>
#include <memory>

#include "ui/MainWindowPresenter.h"
#include "ui/MainWindowView.h"
#include "ui/qt/QtControls.h"

class QLabel;
class QLayout;
class QPushButton;
class QTableView;

namespace quillfen::qt {

class QtResultList;

// The search window in Qt Widgets: controls, layout and signals. Every rule lives in the
// presenter; this class only draws and forwards.
class QtMainWindow : public QDialog, public MainWindowView {
    Q_OBJECT

public:
    explicit QtMainWindow(const std::string& lookInArgument, QWidget* parent = nullptr);
    ~QtMainWindow() override;

    MainWindowPresenter& presenter() { return *presenter_; }
    QTableView* resultView() const;

    void setTitle(const std::string& title) override;
    void setText(MainControl control, const std::string& text) override;
    std::string text(MainControl control) const override;
    void setToolTip(MainControl control, const std::string& text) override;
    void setChecked(MainControl control, bool checked) override;
    bool isChecked(MainControl control) const override;
    void setEnabled(MainControl control, bool enabled) override;
    void setVisible(MainControl control, bool visible) override;
    void setFocus(MainControl control) override;
    void setItems(MainControl control, const std::vector<std::string>& items) override;
    void selectItem(MainControl control, int index) override;
    int selectedItem(MainControl control) const override;
    void moveItemToTop(MainControl control, int index) override;
    CalendarDate date(MainControl control) const override;
    void setDate(MainControl control, const CalendarDate& date) override;

    void setStatusLine(StatusLine line, const std::string& text) override;
    void showSearchRunning(bool running) override;
    void showResults(const ResultTable& table, const IconImageList& icons) override;
    void resultsReset() override;
    void resultsAppended(std::size_t first, std::size_t count) override;
    ResultSelection& selection() override;
    platform::DesktopShell& shell() override;
    void openConfiguration() override;
    void openDuplicateSearch(const std::optional<std::string>& referencePath) override;
    void showMessage(const std::string& text) override;
    bool chooseFolder(const std::string& title, std::string& folder) override;
    void postToUserInterface(std::function<void()> task) override;
    void startTicking() override;
    void stopTicking() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QLayout* buildStatusGroup();
    QLayout* buildInputRows();
    void connectSignals();
    void add(MainControl control, QWidget* widget);
    QWidget* widget(MainControl control) const;

    QtControls controls_;
    QtResultList* results_ = nullptr;
    std::unique_ptr<MainWindowPresenter> presenter_;
};

}  // namespace quillfen::qt
