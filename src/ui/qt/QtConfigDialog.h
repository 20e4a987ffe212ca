#pragma once

#include <QDialog>
#include <memory>

#include "ui/ConfigDialogPresenter.h"
#include "ui/ConfigDialogView.h"
#include "ui/ShellEntries.h"
#include "ui/qt/QtControls.h"

namespace quillfen::qt {

// The configuration dialog and about box in Qt Widgets; every rule lives in the presenter.
class QtConfigDialog : public QDialog, public ConfigDialogView {
    Q_OBJECT

public:
    // Uses the desktop's file-manager entries unless the caller hands in others.
    explicit QtConfigDialog(QWidget* parent = nullptr, ShellEntries* shellEntries = nullptr);
    ~QtConfigDialog() override;

    ConfigDialogPresenter& presenter() { return *presenter_; }

    void setTitle(const std::string& title) override;
    bool askYesNo(const std::string& question) override;
    bool chooseProgram(std::string& path) override;
    void closeDialog() override;
    void endProgram() override;
    void setText(ConfigControl control, const std::string& text) override;
    std::string text(ConfigControl control) const override;
    void setToolTip(ConfigControl control, const std::string& text) override;
    void setChecked(ConfigControl control, bool checked) override;
    bool isChecked(ConfigControl control) const override;
    void setEnabled(ConfigControl control, bool enabled) override;
    void setVisible(ConfigControl control, bool visible) override;
    void setFocus(ConfigControl control) override;
    void setItems(ConfigControl control, const std::vector<std::string>& items) override;
    void selectItem(ConfigControl control, int index) override;
    int selectedItem(ConfigControl control) const override;
    void moveItemToTop(ConfigControl control, int index) override;

private:
    void buildControls();
    void add(ConfigControl control, QWidget* widget);

    QtControls controls_;
    std::unique_ptr<ShellEntries> ownShellEntries_;
    std::unique_ptr<ConfigDialogPresenter> presenter_;
};

}  // namespace quillfen::qt
