#pragma once

#include <QFileDialog>
#include <QLayout>
#include <QMessageBox>
#include <QTableView>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <iterator>
#include <optional>
#include <string>

#include "app/Application.h"
#include "ui/ResultListPresenter.h"
#include "ui/WindowLayoutSettings.h"
#include "ui/qt/ClickFilter.h"
#include "ui/qt/QtControlView.h"
#include "ui/qt/QtResultList.h"
#include "ui/qt/SaveFileChooser.h"

namespace quillfen::qt {

// What both search windows answer alike: the result list's part of the view, the status lines,
// Find and Stop, messages and the folder chooser.
template <typename Control, typename View>
class QtSearchWindowBase : public QtControlView<Control, View> {
public:
    struct StatusControls {
        Control countLine;
        Control progressLine;
        Control find;
        Control stop;
    };

    void setStatusLine(StatusLine line, const std::string& text) override {
        this->setText(line == StatusLine::Count ? status_.countLine : status_.progressLine, text);
    }
    void showSearchRunning(bool running) override {
        this->setVisible(status_.stop, running);
        this->setVisible(status_.find, !running);
    }
    void showResults(const ResultTable& table, const IconImageList& icons) override {
        results_->showResults(table, icons);
    }
    void resultsReset() override { results_->resultsReset(); }
    void resultsAppended(std::size_t first, std::size_t count) override {
        results_->resultsAppended(first, count);
    }
    void showSortArrow(std::optional<SortKeyList::Key> key) override {
        results_->showSortArrow(key);
    }
    ResultSelection& selection() override { return results_->selection(); }
    platform::DesktopShell& shell() override { return results_->shell(); }
    void showMessage(const std::string& text) override {
        QMessageBox::warning(owner_, QString::fromUtf8(Application::kName),
                             QtControls::fromBytes(text));
    }
    void showDetails(const std::string& text, const std::string& details) override {
        QMessageBox box(QMessageBox::Information, QString::fromUtf8(Application::kName),
                        QtControls::fromBytes(text), QMessageBox::Ok, owner_);
        box.setDetailedText(QtControls::fromBytes(details));
        box.setObjectName(QStringLiteral("detailsBox"));
        box.exec();
    }
    bool chooseFolder(const std::string& title, std::string& folder) override {
        const QString chosen =
            QFileDialog::getExistingDirectory(owner_, QtControls::fromBytes(title));
        if (chosen.isEmpty()) {
            return false;
        }
        folder = QtControls::toBytes(chosen.endsWith(QLatin1Char('/')) ? chosen
                                                                       : chosen + QLatin1Char('/'));
        return true;
    }
    std::optional<SaveChoice> chooseSaveFile(const std::string& title,
                                             const std::vector<FileFilter>& filters) override {
        return qt::chooseSaveFile(owner_, title, filters);
    }
    void postToUserInterface(std::function<void()> task) override {
        results_->postToUserInterface(std::move(task));
    }
    void startTicking() override { results_->startTicking(); }
    void stopTicking() override { results_->stopTicking(); }

protected:
    QtSearchWindowBase(QWidget* owner, StatusControls status) : owner_(owner), status_(status) {}

    // A click on the progress line lists what the last search could not read.
    void watchProgressLineClicks(ResultListPresenter& presenter) {
        new ClickFilter(this->widget(status_.progressLine),
                        [&presenter] { presenter.onProgressLineClicked(); });
    }

    // Creates the result list inside the window; called once while the window builds itself.
    QtResultList* createResultList() {
        results_ = new QtResultList(owner_);
        return results_;
    }

    // At least `width`, and wide enough for every column of the list.
    int fittingWidth(int width) const {
        const QMargins margins =
            owner_->layout() != nullptr ? owner_->layout()->contentsMargins() : QMargins();
        return std::max(width, results_->fullWidth() + margins.left() + margins.right());
    }

    // The size and column widths the window had when it last closed, else the given size and
    // the list's own widths. Neither is taken smaller than what the controls and texts need.
    void restoreLayout(WindowLayoutSettings settings, QSize defaultSize) {
        results_->fitColumnsToTexts();
        const QSize minimum = owner_->minimumSizeHint();
        settings.setMinimumSize(minimum.width(), minimum.height());
        settings.setMinimumColumnWidths(results_->fixedFormWidths());
        WindowLayout defaults{fittingWidth(defaultSize.width()), defaultSize.height(), {}};
        for (int column = 0; column < kRememberedColumns; ++column) {
            defaults.columnWidths.push_back(results_->view()->columnWidth(column));
        }
        const WindowLayout layout = settings.load(defaults);
        owner_->resize(layout.width, layout.height);
        for (int column = 0; column < kRememberedColumns; ++column) {
            results_->view()->setColumnWidth(column, layout.columnWidths.at(column));
        }
    }
    // A maximized window keeps the size it returns to.
    void saveLayout(const WindowLayoutSettings& settings) const {
        const QSize size = owner_->isMaximized() || owner_->isFullScreen()
                               ? owner_->normalGeometry().size()
                               : owner_->size();
        WindowLayout layout{size.width(), size.height(), {}};
        for (int column = 0; column < kRememberedColumns; ++column) {
            layout.columnWidths.push_back(results_->view()->columnWidth(column));
        }
        settings.save(layout);
    }

    QtResultList* results_ = nullptr;

private:
    static constexpr int kRememberedColumns =
        static_cast<int>(std::size(WindowLayoutSettings::kColumnKeys));

    QWidget* owner_;
    StatusControls status_;
};

}  // namespace quillfen::qt
