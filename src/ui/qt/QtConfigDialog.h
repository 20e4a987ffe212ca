#pragma once

#include <QDialog>
#include <memory>

#include "ui/ConfigDialogPresenter.h"
#include "ui/ConfigDialogView.h"
#include "ui/ShellEntries.h"
#include "ui/qt/QtControlView.h"

namespace quillfen::qt {

// The configuration dialog and about box in Qt Widgets; every rule lives in the presenter.
class QtConfigDialog : public QDialog, public QtControlView<ConfigControl, ConfigDialogView> {
    Q_OBJECT

public:
    // Uses the desktop's file-manager entries unless the caller hands in others.
    explicit QtConfigDialog(QWidget* parent = nullptr, ShellEntries* shellEntries = nullptr);
    ~QtConfigDialog() override;

    ConfigDialogPresenter& presenter() { return *presenter_; }

    void setTitle(const std::string& title) override;
    bool askYesNo(const std::string& question) override;
    void showInformation(const std::string& text) override;
    bool chooseProgram(std::string& path) override;
    void closeDialog() override;
    void endProgram() override;

private:
    void buildControls();

    std::unique_ptr<ShellEntries> ownShellEntries_;
    std::unique_ptr<ConfigDialogPresenter> presenter_;
};

}  // namespace quillfen::qt
