#pragma once

#include <QDialog>
#include <memory>

#include "ui/DuplicateWindowPresenter.h"
#include "ui/DuplicateWindowView.h"
#include "ui/qt/QtSearchWindowBase.h"

class QTableView;

namespace quillfen::qt {

// The "Document Duplication Search" window in Qt Widgets; every rule lives in the presenter.
class QtDuplicateWindow : public QDialog,
                          public QtSearchWindowBase<DuplicateControl, DuplicateWindowView> {
    Q_OBJECT

public:
    explicit QtDuplicateWindow(const std::string& referencePath, QWidget* parent = nullptr);
    ~QtDuplicateWindow() override;

    DuplicateWindowPresenter& presenter() { return *presenter_; }
    QTableView* resultView() const;

    void setTitle(const std::string& title) override;
    bool chooseFile(std::string& file) override;
    void openConfiguration() override;
    void openDuplicateSearch(const std::optional<std::string>& referencePath) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectSignals();
    static WindowLayoutSettings layoutSettings();

    std::unique_ptr<DuplicateWindowPresenter> presenter_;
};

}  // namespace quillfen::qt
