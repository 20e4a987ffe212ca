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
    : QDialog(parent) {
    setWindowIcon(ProgramIcon::icon());
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    buildControls();
    presenter_ = std::make_unique<DuplicateWindowPresenter>(*this, referencePath);
    results_->connectTo(presenter_->resultList(), false);
    connectSignals();
    presenter_->open();
    resize(900, 680);
}

QtDuplicateWindow::~QtDuplicateWindow() {
    presenter_->onClose();
}

QTableView* QtDuplicateWindow::resultView() const {
    return results_->view();
}

void QtDuplicateWindow::add(DuplicateControl control, QWidget* target) {
    controls_.add(static_cast<int>(control), target);
}

QWidget* QtDuplicateWindow::widget(DuplicateControl control) const {
    return controls_.widget(static_cast<int>(control));
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
    find->setDefault(true);
    status->addWidget(countLine, 0, 0);
    status->addWidget(progressLine, 1, 0);
    status->addWidget(find, 1, 1);
    status->addWidget(stop, 1, 1);
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
    lookIn->setEditable(true);
    lookIn->setInsertPolicy(QComboBox::NoInsert);
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
    results_ = new QtResultList(this);
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
    connect(qobject_cast<QLineEdit*>(widget(DuplicateControl::ReferenceFile)),
            &QLineEdit::returnPressed, this, [this] { presenter_->onFind(); });
    connect(controls_.combo(static_cast<int>(DuplicateControl::LookIn))->lineEdit(),
            &QLineEdit::returnPressed, this, [this] { presenter_->onFind(); });
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

void QtDuplicateWindow::setText(DuplicateControl control, const std::string& text) {
    controls_.setText(static_cast<int>(control), text);
}
std::string QtDuplicateWindow::text(DuplicateControl control) const {
    return controls_.text(static_cast<int>(control));
}
void QtDuplicateWindow::setToolTip(DuplicateControl control, const std::string& text) {
    controls_.setToolTip(static_cast<int>(control), text);
}
void QtDuplicateWindow::setChecked(DuplicateControl control, bool checked) {
    controls_.setChecked(static_cast<int>(control), checked);
}
bool QtDuplicateWindow::isChecked(DuplicateControl control) const {
    return controls_.isChecked(static_cast<int>(control));
}
void QtDuplicateWindow::setEnabled(DuplicateControl control, bool enabled) {
    controls_.setEnabled(static_cast<int>(control), enabled);
}
void QtDuplicateWindow::setVisible(DuplicateControl control, bool visible) {
    controls_.setVisible(static_cast<int>(control), visible);
}
void QtDuplicateWindow::setFocus(DuplicateControl control) {
    controls_.setFocus(static_cast<int>(control));
}
void QtDuplicateWindow::setItems(DuplicateControl control, const std::vector<std::string>& items) {
    controls_.setItems(static_cast<int>(control), items);
}
void QtDuplicateWindow::selectItem(DuplicateControl control, int index) {
    controls_.selectItem(static_cast<int>(control), index);
}
int QtDuplicateWindow::selectedItem(DuplicateControl control) const {
    return controls_.selectedItem(static_cast<int>(control));
}
void QtDuplicateWindow::moveItemToTop(DuplicateControl control, int index) {
    controls_.moveItemToTop(static_cast<int>(control), index);
}

void QtDuplicateWindow::setStatusLine(StatusLine line, const std::string& text) {
    setText(
        line == StatusLine::Count ? DuplicateControl::CountLine : DuplicateControl::ProgressLine,
        text);
}

void QtDuplicateWindow::showSearchRunning(bool running) {
    setVisible(DuplicateControl::StopButton, running);
    setVisible(DuplicateControl::FindButton, !running);
}

void QtDuplicateWindow::showResults(const ResultTable& table, const IconImageList& icons) {
    results_->showResults(table, icons);
}
void QtDuplicateWindow::resultsReset() {
    results_->resultsReset();
}
void QtDuplicateWindow::resultsAppended(std::size_t first, std::size_t count) {
    results_->resultsAppended(first, count);
}
ResultSelection& QtDuplicateWindow::selection() {
    return results_->selection();
}
platform::DesktopShell& QtDuplicateWindow::shell() {
    return results_->shell();
}

void QtDuplicateWindow::openConfiguration() {
    QtConfigDialog dialog(this);
    dialog.exec();
}

// The duplicate window's own list never starts another duplicate search.
void QtDuplicateWindow::openDuplicateSearch(const std::optional<std::string>&) {}

void QtDuplicateWindow::showMessage(const std::string& text) {
    QMessageBox::warning(this, QString::fromUtf8(Application::kName), QtControls::fromBytes(text));
}

bool QtDuplicateWindow::chooseFolder(const std::string& title, std::string& folder) {
    const QString chosen = QFileDialog::getExistingDirectory(this, QtControls::fromBytes(title));
    if (chosen.isEmpty()) {
        return false;
    }
    folder =
        QtControls::toBytes(chosen.endsWith(QLatin1Char('/')) ? chosen : chosen + QLatin1Char('/'));
    return true;
}

void QtDuplicateWindow::postToUserInterface(std::function<void()> task) {
    results_->postToUserInterface(std::move(task));
}
void QtDuplicateWindow::startTicking() {
    results_->startTicking();
}
void QtDuplicateWindow::stopTicking() {
    results_->stopTicking();
}

void QtDuplicateWindow::keyPressEvent(QKeyEvent* event) {
    // Escape never closes a search window.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void QtDuplicateWindow::closeEvent(QCloseEvent* event) {
    presenter_->onClose();
    QDialog::closeEvent(event);
}

}  // namespace quillfen::qt
