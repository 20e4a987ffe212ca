#include "ui/qt/QtDuplicateWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "app/Application.h"
#include "ui/qt/ProgramIcon.h"
#include "ui/qt/QtConfigDialog.h"
#include "ui/qt/QtResultList.h"

namespace quillfen::qt {

QtDuplicateWindow::QtDuplicateWindow(const std::string& referencePath, QWidget* parent)
    : QDialog(parent),
      QtSearchWindowBase(this, {DuplicateControl::CountLine, DuplicateControl::ProgressLine,
                                DuplicateControl::FindButton, DuplicateControl::StopButton}) {
    setWindowIcon(ProgramIcon::icon());
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    buildControls();
    presenter_ = std::make_unique<DuplicateWindowPresenter>(*this, referencePath);
    results_->connectTo(presenter_->resultList(), true);
    watchProgressLineClicks(presenter_->resultList());
    connectSignals();
    presenter_->open();
    restoreLayout(layoutSettings(), QSize(900, 680));
}

QtDuplicateWindow::~QtDuplicateWindow() {
    presenter_->onClose();
}

QTableView* QtDuplicateWindow::resultView() const {
    return results_->view();
}

void QtDuplicateWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);

    auto* group = new QGroupBox(this);
    auto* status = new QGridLayout(group);
    auto* countLine = new QLabel(group);
    auto* progressLine = new QLabel(group);
    progressLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* find = new QPushButton(group);
    auto* stop = new QPushButton(group);
    // Enter in a box goes on to the window, which clicks its default button: one Find per key,
    // also when Find's message box has taken and closed with Enter meanwhile.
    find->setDefault(true);
    status->addWidget(countLine, 0, 0);
    status->addWidget(progressLine, 1, 0);
    status->addWidget(QtControls::sharedPlace(group, {find, stop}), 1, 1);
    status->setColumnStretch(0, 1);
    layout->addWidget(group);

    auto* fileGroup = new QGroupBox(this);
    auto* fileRow = new QHBoxLayout(fileGroup);
    auto* reference = new QLineEdit(fileGroup);
    auto* browseFile = new QPushButton(QStringLiteral("..."), fileGroup);
    browseFile->setAutoDefault(false);
    browseFile->setMaximumWidth(32);
    fileRow->addWidget(reference, 1);
    fileRow->addWidget(browseFile);

    auto* lookInGroup = new QGroupBox(this);
    auto* lookInRow = new QHBoxLayout(lookInGroup);
    auto* lookIn = new QComboBox(lookInGroup);
    QtControls::makeHistoryBox(*lookIn);
    auto* browseFolder = new QPushButton(QStringLiteral("..."), lookInGroup);
    browseFolder->setAutoDefault(false);
    browseFolder->setMaximumWidth(32);
    lookInRow->addWidget(lookIn, 1);
    lookInRow->addWidget(browseFolder);

    auto* optionsGroup = new QGroupBox(this);
    auto* optionsRow = new QHBoxLayout(optionsGroup);
    auto* matchName = new QCheckBox(optionsGroup);
    auto* matchExtension = new QCheckBox(optionsGroup);
    auto* matchTime = new QCheckBox(optionsGroup);
    auto* matchBody = new QCheckBox(optionsGroup);
    for (QWidget* option : {matchName, matchExtension, matchTime, matchBody}) {
        optionsRow->addWidget(option);
    }

    auto* inputs = new QGridLayout;
    inputs->addWidget(fileGroup, 0, 0);
    inputs->addWidget(lookInGroup, 0, 1);
    inputs->addWidget(optionsGroup, 1, 0, 1, 2);
    layout->addLayout(inputs);
    createResultList();
    layout->addWidget(results_->view(), 1);

    add(DuplicateControl::Group, group);
    add(DuplicateControl::CountLine, countLine);
    add(DuplicateControl::ProgressLine, progressLine);
    add(DuplicateControl::FindButton, find);
    add(DuplicateControl::StopButton, stop);
    add(DuplicateControl::FileNameGroup, fileGroup);
    add(DuplicateControl::ReferenceFile, reference);
    add(DuplicateControl::BrowseFile, browseFile);
    add(DuplicateControl::LookInGroup, lookInGroup);
    add(DuplicateControl::LookIn, lookIn);
    add(DuplicateControl::BrowseLookIn, browseFolder);
    add(DuplicateControl::OptionsGroup, optionsGroup);
    add(DuplicateControl::MatchName, matchName);
    add(DuplicateControl::MatchExtension, matchExtension);
    add(DuplicateControl::MatchTime, matchTime);
    add(DuplicateControl::MatchBody, matchBody);
    add(DuplicateControl::ResultList, results_->view());
}

void QtDuplicateWindow::connectSignals() {
    const auto button = [this](DuplicateControl control) {
        return qobject_cast<QPushButton*>(widget(control));
    };
    connect(button(DuplicateControl::FindButton), &QPushButton::clicked, this,
            [this] { presenter_->onFind(); });
    connect(button(DuplicateControl::StopButton), &QPushButton::clicked, this,
            [this] { presenter_->onStop(); });
    connect(button(DuplicateControl::BrowseFile), &QPushButton::clicked, this,
            [this] { presenter_->onBrowseFile(); });
    connect(button(DuplicateControl::BrowseLookIn), &QPushButton::clicked, this,
            [this] { presenter_->onBrowseLookIn(); });
}

void QtDuplicateWindow::setTitle(const std::string& title) {
    setWindowTitle(QtControls::fromBytes(title));
}

bool QtDuplicateWindow::chooseFile(std::string& file) {
    const QString chosen =
        QFileDialog::getOpenFileName(this, {}, {}, QStringLiteral("All Files (*)"));
    if (chosen.isEmpty()) {
        return false;
    }
    file = QtControls::toBytes(chosen);
    return true;
}

void QtDuplicateWindow::openConfiguration() {
    QtConfigDialog dialog(this);
    dialog.exec();
}

// The duplicate window's own list never starts another duplicate search.
void QtDuplicateWindow::openDuplicateSearch(const std::optional<std::string>&) {}

void QtDuplicateWindow::keyPressEvent(QKeyEvent* event) {
    // Escape never closes a search window.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

WindowLayoutSettings QtDuplicateWindow::layoutSettings() {
    return WindowLayoutSettings("Duplicate");
}

void QtDuplicateWindow::closeEvent(QCloseEvent* event) {
    presenter_->onClose();
    saveLayout(layoutSettings());
    QDialog::closeEvent(event);
}

}  // namespace quillfen::qt
