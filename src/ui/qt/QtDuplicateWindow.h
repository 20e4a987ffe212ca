#pragma once

#include <QDialog>
#include <memory>

#include "ui/DuplicateWindowPresenter.h"
#include "ui/DuplicateWindowView.h"
#include "ui/qt/QtControls.h"

class QTableView;

namespace quillfen::qt {

class QtResultList;

// The "Document Duplication Search" window in Qt Widgets; every rule lives in the presenter.
class QtDuplicateWindow : public QDialog, public DuplicateWindowView {
    Q_OBJECT

public:
    explicit QtDuplicateWindow(const std::string& referencePath, QWidget* parent = nullptr);
    ~QtDuplicateWindow() override;

    DuplicateWindowPresenter& presenter() { return *presenter_; }
    QTableView* resultView() const;

    void setTitle(const std::string& title) override;
    bool chooseFile(std::string& file) override;
    void setText(DuplicateControl control, const std::string& text) override;
    std::string text(DuplicateControl control) const override;
    void setToolTip(DuplicateControl control, const std::string& text) override;
    void setChecked(DuplicateControl control, bool checked) override;
    bool isChecked(DuplicateControl control) const override;
    void setEnabled(DuplicateControl control, bool enabled) override;
    void setVisible(DuplicateControl control, bool visible) override;
    void setFocus(DuplicateControl control) override;
    void setItems(DuplicateControl control, const std::vector<std::string>& items) override;
    void selectItem(DuplicateControl control, int index) override;
    int selectedItem(DuplicateControl control) const override;
    void moveItemToTop(DuplicateControl control, int index) override;

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
    void buildControls();
    void connectSignals();
    void add(DuplicateControl control, QWidget* widget);
    QWidget* widget(DuplicateControl control) const;

    QtControls controls_;
    QtResultList* results_ = nullptr;
    std::unique_ptr<DuplicateWindowPresenter> presenter_;
};

}  // namespace quillfen::qt
