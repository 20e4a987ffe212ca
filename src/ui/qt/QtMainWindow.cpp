#include "ui/qt/QtMainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/Application.h"
#include "app/LanguageTable.h"
#include "results/ContextMenuItem.h"
#include "results/ResultAction.h"
#include "results/ResultTable.h"
#include "ui/qt/ProgramIcon.h"
#include "ui/qt/QtConfigDialog.h"
#include "ui/qt/QtDuplicateWindow.h"
#include "ui/qt/QtResultList.h"
#include "ui/qt/ResultListModel.h"

namespace quillfen::qt {

namespace {

QComboBox* historyCombo(QWidget* parent) {
    auto* box = new QComboBox(parent);
    QtControls::makeHistoryBox(*box);
    box->setMinimumContentsLength(20);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
}

QDateEdit* datePicker(QWidget* parent) {
    auto* picker = new QDateEdit(parent);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    picker->setMinimumWidth(picker->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) +
                            48);
    return picker;
}

}  // namespace

QtMainWindow::QtMainWindow(const std::string& lookInArgument, QWidget* parent)
    : QDialog(parent),
      QtSearchWindowBase(this, {MainControl::CountLine, MainControl::ProgressLine,
                                MainControl::FindButton, MainControl::StopButton}) {
    setWindowIcon(ProgramIcon::icon());
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buildStatusGroup());
    layout->addLayout(buildInputRows());
    createResultList();
    add(MainControl::ResultList, results_->view());
    layout->addWidget(results_->view(), 1);
    presenter_ = std::make_unique<MainWindowPresenter>(*this, lookInArgument);
    results_->connectTo(presenter_->resultList(), true);
    watchProgressLineClicks(presenter_->resultList());
    connectSignals();
    presenter_->open();
    restoreLayout(layoutSettings(), QSize(960, 720));
}

QtMainWindow::~QtMainWindow() {
    presenter_->onClose();
}

QTableView* QtMainWindow::resultView() const {
    return results_->view();
}

QLayout* QtMainWindow::buildStatusGroup() {
    auto* group = new QGroupBox(QString::fromUtf8(Application::kName), this);
    auto* grid = new QGridLayout(group);
    auto* countLine = new QLabel(group);
    auto* progressLine = new QLabel(group);
    progressLine->setTextFormat(Qt::PlainText);
    countLine->setTextFormat(Qt::PlainText);
    progressLine->setMinimumWidth(100);
    progressLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* banner = new QPushButton(group);
    banner->setFlat(true);
    banner->setStyleSheet(QStringLiteral("text-align: left; color: palette(link);"));
    auto* debug = new QPushButton(QStringLiteral("Debug"), group);
    auto* find = new QPushButton(group);
    auto* stop = new QPushButton(group);
    // Enter in a box goes on to the window, which clicks its default button: one Find per key,
    // also when Find's message box has taken and closed with Enter meanwhile.
    find->setDefault(true);
    find->setAutoDefault(true);
    auto* menuButton = new QToolButton(group);
    menuButton->setText(QStringLiteral("⋮"));
    menuButton->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(menuButton);
    QAction* exportList = menu->addAction(QtControls::fromBytes(translate("Export List...")));
    connect(exportList, &QAction::triggered, this,
            [this] { presenter_->onAction(ResultAction::ExportList); });
    // As in the list's context menu, an empty list has nothing to export.
    connect(menu, &QMenu::aboutToShow, this, [this, exportList] {
        exportList->setEnabled(presenter_->resultList().table().rowCount() > 0);
    });
    connect(menu->addAction(QtControls::fromBytes(translate("Config..."))), &QAction::triggered,
            this, [this] { presenter_->onAction(ResultAction::Config); });
    menuButton->setMenu(menu);
    grid->addWidget(countLine, 0, 0);
    grid->addWidget(progressLine, 1, 0);
    grid->addWidget(banner, 0, 0, 2, 1);
    grid->addWidget(debug, 0, 1);
    grid->addWidget(menuButton, 0, 2);
    grid->addWidget(QtControls::sharedPlace(group, {find, stop}), 1, 1, 1, 2);
    grid->setColumnStretch(0, 1);
    add(MainControl::CountLine, countLine);
    add(MainControl::ProgressLine, progressLine);
    add(MainControl::TranslationBanner, banner);
    add(MainControl::DebugButton, debug);
    add(MainControl::FindButton, find);
    add(MainControl::StopButton, stop);
    auto* row = new QHBoxLayout;
    row->addWidget(group);
    return row;
}

QLayout* QtMainWindow::buildInputRows() {
    auto* grid = new QGridLayout;

    auto* nameGroup = new QGroupBox(this);
    auto* nameLayout = new QHBoxLayout(nameGroup);
    auto* names = historyCombo(nameGroup);
    nameLayout->addWidget(names);

    auto* lookInGroup = new QGroupBox(this);
    auto* lookInLayout = new QHBoxLayout(lookInGroup);
    auto* lookIn = historyCombo(lookInGroup);
    auto* browse = new QPushButton(QStringLiteral("..."), lookInGroup);
    browse->setAutoDefault(false);
    browse->setMaximumWidth(32);
    auto* subfolders = new QCheckBox(lookInGroup);
    lookInLayout->addWidget(lookIn, 1);
    lookInLayout->addWidget(browse);
    lookInLayout->addWidget(subfolders);

    auto* contentGroup = new QGroupBox(this);
    auto* contentLayout = new QGridLayout(contentGroup);
    auto* text = historyCombo(contentGroup);
    auto* hex = historyCombo(contentGroup);
    hex->lineEdit()->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f *]*")), hex));
    connect(hex->lineEdit(), &QLineEdit::textEdited, hex, [hex](const QString& value) {
        const int cursor = hex->lineEdit()->cursorPosition();
        hex->lineEdit()->setText(value.toUpper());
        hex->lineEdit()->setCursorPosition(cursor);
    });
    auto* textMode = new QRadioButton(contentGroup);
    auto* hexMode = new QRadioButton(contentGroup);
    auto* matchCase = new QCheckBox(contentGroup);
    auto* matchAnsi = new QCheckBox(contentGroup);
    auto* matchUnicode = new QCheckBox(contentGroup);
    auto* matchUtf8 = new QCheckBox(contentGroup);
    contentLayout->addWidget(text, 0, 0, 1, 3);
    contentLayout->addWidget(hex, 0, 0, 1, 3);
    int column = 0;
    for (QWidget* option : std::initializer_list<QWidget*>{textMode, hexMode, matchCase, matchAnsi,
                                                           matchUnicode, matchUtf8}) {
        contentLayout->addWidget(option, 1, column++);
    }

    auto* dateGroup = new QGroupBox(this);
    auto* dateLayout = new QHBoxLayout(dateGroup);
    auto* dateOption = new QComboBox(dateGroup);
    auto* dateFrom = datePicker(dateGroup);
    auto* dateTo = datePicker(dateGroup);
    dateLayout->addWidget(dateOption, 1);
    dateLayout->addWidget(dateFrom);
    dateLayout->addWidget(dateTo);

    auto* sizeGroup = new QGroupBox(this);
    auto* sizeLayout = new QHBoxLayout(sizeGroup);
    auto* sizeOption = new QComboBox(sizeGroup);
    auto* sizeBound = new QComboBox(sizeGroup);
    auto* kilobytes = new QLineEdit(sizeGroup);
    kilobytes->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,18}")), kilobytes));
    kilobytes->setAlignment(Qt::AlignRight);
    sizeLayout->addWidget(sizeOption, 1);
    sizeLayout->addWidget(sizeBound);
    sizeLayout->addWidget(kilobytes);

    grid->addWidget(nameGroup, 0, 0);
    grid->addWidget(lookInGroup, 0, 1);
    grid->addWidget(contentGroup, 1, 0, 1, 2);
    grid->addWidget(dateGroup, 2, 0);
    grid->addWidget(sizeGroup, 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    add(MainControl::NameGroup, nameGroup);
    add(MainControl::NamePatterns, names);
    add(MainControl::LookInGroup, lookInGroup);
    add(MainControl::LookIn, lookIn);
    add(MainControl::BrowseLookIn, browse);
    add(MainControl::SearchSubfolders, subfolders);
    add(MainControl::ContentGroup, contentGroup);
    add(MainControl::ContentText, text);
    add(MainControl::HexText, hex);
    add(MainControl::TextMode, textMode);
    add(MainControl::HexMode, hexMode);
    add(MainControl::MatchCase, matchCase);
    add(MainControl::MatchAnsi, matchAnsi);
    add(MainControl::MatchUnicode, matchUnicode);
    add(MainControl::MatchUtf8, matchUtf8);
    add(MainControl::DateGroup, dateGroup);
    add(MainControl::DateOption, dateOption);
    add(MainControl::DateFrom, dateFrom);
    add(MainControl::DateTo, dateTo);
    add(MainControl::SizeGroup, sizeGroup);
    add(MainControl::SizeOption, sizeOption);
    add(MainControl::SizeBound, sizeBound);
    add(MainControl::SizeKilobytes, kilobytes);
    setTabOrder(names, lookIn);
    setTabOrder(lookIn, browse);
    setTabOrder(browse, subfolders);
    setTabOrder(subfolders, text);
    setTabOrder(text, hex);
    setTabOrder(hex, textMode);
    setTabOrder(textMode, hexMode);
    setTabOrder(hexMode, matchCase);
    setTabOrder(matchCase, matchAnsi);
    setTabOrder(matchAnsi, matchUnicode);
    setTabOrder(matchUnicode, matchUtf8);
    setTabOrder(matchUtf8, dateOption);
    setTabOrder(dateOption, dateFrom);
    setTabOrder(dateFrom, dateTo);
    setTabOrder(dateTo, sizeOption);
    setTabOrder(sizeOption, sizeBound);
    setTabOrder(sizeBound, kilobytes);
    return grid;
}

void QtMainWindow::connectSignals() {
    const auto button = [this](MainControl control) {
        return qobject_cast<QPushButton*>(widget(control));
    };
    connect(button(MainControl::FindButton), &QPushButton::clicked, this,
            [this] { presenter_->onFind(); });
    connect(button(MainControl::StopButton), &QPushButton::clicked, this,
            [this] { presenter_->onStop(); });
    connect(button(MainControl::TranslationBanner), &QPushButton::clicked, this,
            [this] { presenter_->onTranslationBanner(); });
    connect(qobject_cast<QRadioButton*>(widget(MainControl::TextMode)), &QRadioButton::clicked,
            this, [this] { presenter_->onTextMode(); });
    connect(qobject_cast<QRadioButton*>(widget(MainControl::HexMode)), &QRadioButton::clicked, this,
            [this] { presenter_->onHexMode(); });
    connect(controls_.combo(key(MainControl::DateOption)), &QComboBox::activated, this,
            [this] { presenter_->onDateOptionChanged(); });
    connect(controls_.combo(key(MainControl::SizeOption)), &QComboBox::activated, this,
            [this] { presenter_->onSizeOptionChanged(); });
    connect(qobject_cast<QPushButton*>(widget(MainControl::BrowseLookIn)), &QPushButton::clicked,
            this, [this] { presenter_->onBrowseLookIn(); });
}

void QtMainWindow::setTitle(const std::string& title) {
    setWindowTitle(QtControls::fromBytes(title));
}

CalendarDate QtMainWindow::date(MainControl control) const {
    const auto* picker = qobject_cast<QDateEdit*>(widget(control));
    if (picker == nullptr) {
        return {};
    }
    const QDate value = picker->date();
    return CalendarDate{value.year(), value.month(), value.day()};
}

void QtMainWindow::setDate(MainControl control, const CalendarDate& value) {
    if (auto* picker = qobject_cast<QDateEdit*>(widget(control))) {
        picker->setDate(QDate(value.year, value.month, value.day));
    }
}

void QtMainWindow::openConfiguration() {
    QtConfigDialog dialog(this);
    dialog.exec();
}

void QtMainWindow::openDuplicateSearch(const std::optional<std::string>& referencePath) {
    QtDuplicateWindow window(referencePath.value_or(std::string()), this);
    window.exec();
}

void QtMainWindow::keyPressEvent(QKeyEvent* event) {
    // Escape never closes the search window, not even during a search.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

WindowLayoutSettings QtMainWindow::layoutSettings() {
    return WindowLayoutSettings("");
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
    presenter_->onClose();
    saveLayout(layoutSettings());
    QDialog::closeEvent(event);
}

}  // namespace quillfen::qt
