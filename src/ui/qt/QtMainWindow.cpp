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
#include "ui/qt/QtDesktopShell.h"
#include "ui/qt/QtIconImages.h"
#include "ui/qt/QtResultSelection.h"
#include "ui/qt/ResultListModel.h"

namespace quillfen::qt {

namespace {

constexpr int kTickMilliseconds = 40;
constexpr int kColumnWidths[] = {250, 280, 80, 130, 75, 0};

QString fromBytes(const std::string& text) {
    return ResultListModel::displayText(text);
}
std::string toBytes(const QString& text) {
    return text.toStdString();
}

QComboBox* historyCombo(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
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

QtMainWindow::QtMainWindow(const std::string& lookInArgument, QWidget* parent) : QDialog(parent) {
    setWindowIcon(ProgramIcon::icon());
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    buildControls();
    presenter_ = std::make_unique<MainWindowPresenter>(*this, lookInArgument);
    connectSignals();
    ticker_.setInterval(kTickMilliseconds);
    connect(&ticker_, &QTimer::timeout, this, [this] { presenter_->onSearchTick(); });
    presenter_->open();
    resize(960, 720);
}

QtMainWindow::~QtMainWindow() {
    presenter_->onClose();
}

void QtMainWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buildStatusGroup());
    layout->addLayout(buildInputRows());
    model_ = new ResultListModel(this);
    list_ = new QTableView(this);
    list_->setModel(model_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setShowGrid(false);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    list_->setWordWrap(false);
    list_->horizontalHeader()->setSectionsClickable(true);
    list_->horizontalHeader()->setHighlightSections(false);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setIconSize(QSize(16, 16));
    for (int column = 0; column < ResultTable::kColumnCount; ++column) {
        list_->setColumnWidth(column, kColumnWidths[column]);
    }
    // The date column fits its fixed-form text in whatever font the desktop uses.
    const int dateWidth =
        list_->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 16;
    list_->setColumnWidth(ResultTable::kModifiedColumn,
                          std::max(kColumnWidths[ResultTable::kModifiedColumn], dateWidth));
    list_->setColumnWidth(ResultTable::kTypeColumn, 2 * kColumnWidths[ResultTable::kTypeColumn]);
    list_->setColumnHidden(ResultTable::kSizeByteColumn, true);
    widgets_[MainControl::ResultList] = list_;
    layout->addWidget(list_, 1);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->installEventFilter(this);
    selection_ = std::make_unique<QtResultSelection>(*list_, table_);
    shell_ = std::make_unique<QtDesktopShell>();
}

QLayout* QtMainWindow::buildStatusGroup() {
    auto* group = new QGroupBox(QString::fromUtf8(Application::kName), this);
    auto* grid = new QGridLayout(group);
    countLine_ = new QLabel(group);
    progressLine_ = new QLabel(group);
    progressLine_->setTextFormat(Qt::PlainText);
    countLine_->setTextFormat(Qt::PlainText);
    progressLine_->setMinimumWidth(100);
    progressLine_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    banner_ = new QPushButton(group);
    banner_->setFlat(true);
    banner_->setStyleSheet(QStringLiteral("text-align: left; color: palette(link);"));
    debug_ = new QPushButton(QStringLiteral("Debug"), group);
    find_ = new QPushButton(group);
    stop_ = new QPushButton(group);
    find_->setDefault(true);
    find_->setAutoDefault(true);
    menuButton_ = new QToolButton(group);
    menuButton_->setText(QStringLiteral("⋮"));
    menuButton_->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(menuButton_);
    connect(menu->addAction(fromBytes(translate("Config..."))), &QAction::triggered, this,
            [this] { presenter_->onAction(ResultAction::Config); });
    menuButton_->setMenu(menu);
    grid->addWidget(countLine_, 0, 0);
    grid->addWidget(progressLine_, 1, 0);
    grid->addWidget(banner_, 0, 0, 2, 1);
    grid->addWidget(debug_, 0, 1);
    grid->addWidget(menuButton_, 0, 2);
    grid->addWidget(find_, 1, 1, 1, 2);
    grid->addWidget(stop_, 1, 1, 1, 2);
    grid->setColumnStretch(0, 1);
    widgets_[MainControl::CountLine] = countLine_;
    widgets_[MainControl::ProgressLine] = progressLine_;
    widgets_[MainControl::TranslationBanner] = banner_;
    widgets_[MainControl::DebugButton] = debug_;
    widgets_[MainControl::FindButton] = find_;
    widgets_[MainControl::StopButton] = stop_;
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

    widgets_.insert({{MainControl::NameGroup, nameGroup},
                     {MainControl::NamePatterns, names},
                     {MainControl::LookInGroup, lookInGroup},
                     {MainControl::LookIn, lookIn},
                     {MainControl::BrowseLookIn, browse},
                     {MainControl::SearchSubfolders, subfolders},
                     {MainControl::ContentGroup, contentGroup},
                     {MainControl::ContentText, text},
                     {MainControl::HexText, hex},
                     {MainControl::TextMode, textMode},
                     {MainControl::HexMode, hexMode},
                     {MainControl::MatchCase, matchCase},
                     {MainControl::MatchAnsi, matchAnsi},
                     {MainControl::MatchUnicode, matchUnicode},
                     {MainControl::MatchUtf8, matchUtf8},
                     {MainControl::DateGroup, dateGroup},
                     {MainControl::DateOption, dateOption},
                     {MainControl::DateFrom, dateFrom},
                     {MainControl::DateTo, dateTo},
                     {MainControl::SizeGroup, sizeGroup},
                     {MainControl::SizeOption, sizeOption},
                     {MainControl::SizeBound, sizeBound},
                     {MainControl::SizeKilobytes, kilobytes}});
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
    connect(find_, &QPushButton::clicked, this, [this] { presenter_->onFind(); });
    connect(stop_, &QPushButton::clicked, this, [this] { presenter_->onStop(); });
    connect(banner_, &QPushButton::clicked, this, [this] { presenter_->onTranslationBanner(); });
    connect(qobject_cast<QRadioButton*>(widget(MainControl::TextMode)), &QRadioButton::clicked,
            this, [this] { presenter_->onTextMode(); });
    connect(qobject_cast<QRadioButton*>(widget(MainControl::HexMode)), &QRadioButton::clicked, this,
            [this] { presenter_->onHexMode(); });
    connect(combo(MainControl::DateOption), &QComboBox::activated, this,
            [this] { presenter_->onDateOptionChanged(); });
    connect(combo(MainControl::SizeOption), &QComboBox::activated, this,
            [this] { presenter_->onSizeOptionChanged(); });
    connect(qobject_cast<QPushButton*>(widget(MainControl::BrowseLookIn)), &QPushButton::clicked,
            this, [this] { presenter_->onBrowseLookIn(); });
    connect(list_->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { presenter_->onHeaderClicked(column); });
    connect(list_, &QTableView::customContextMenuRequested, this,
            [this](const QPoint& position) { showContextMenu(position); });
    connect(list_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        presenter_->onDoubleClick(static_cast<std::size_t>(index.row()));
    });
    // Enter in any of the text boxes runs Find, as the default button would.
    for (const MainControl box : {MainControl::NamePatterns, MainControl::LookIn,
                                  MainControl::ContentText, MainControl::HexText}) {
        connect(combo(box)->lineEdit(), &QLineEdit::returnPressed, this,
                [this] { presenter_->onFind(); });
    }
}

QWidget* QtMainWindow::widget(MainControl control) const {
    const auto found = widgets_.find(control);
    return found == widgets_.end() ? nullptr : found->second;
}

QComboBox* QtMainWindow::combo(MainControl control) const {
    return qobject_cast<QComboBox*>(widget(control));
}

void QtMainWindow::setTitle(const std::string& title) {
    setWindowTitle(fromBytes(title));
}

void QtMainWindow::setText(MainControl control, const std::string& value) {
    QWidget* target = widget(control);
    const QString text = fromBytes(value);
    if (auto* box = qobject_cast<QComboBox*>(target); box != nullptr && box->isEditable()) {
        box->setEditText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(target)) {
        group->setTitle(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(target)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(target)) {
        label->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(target)) {
        edit->setText(text);
    }
}

std::string QtMainWindow::text(MainControl control) const {
    QWidget* target = widget(control);
    if (auto* box = qobject_cast<QComboBox*>(target)) {
        return toBytes(box->currentText());
    }
    if (auto* edit = qobject_cast<QLineEdit*>(target)) {
        return toBytes(edit->text());
    }
    if (auto* label = qobject_cast<QLabel*>(target)) {
        return toBytes(label->text());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(target)) {
        return toBytes(button->text());
    }
    return {};
}

void QtMainWindow::setToolTip(MainControl control, const std::string& text) {
    if (QWidget* target = widget(control)) {
        QString tip = fromBytes(text);
        tip.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        target->setToolTip(tip);
    }
}

void QtMainWindow::setChecked(MainControl control, bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget(control))) {
        button->setChecked(checked);
    }
}

bool QtMainWindow::isChecked(MainControl control) const {
    auto* button = qobject_cast<QAbstractButton*>(widget(control));
    return button != nullptr && button->isChecked();
}

void QtMainWindow::setEnabled(MainControl control, bool enabled) {
    if (QWidget* target = widget(control)) {
        target->setEnabled(enabled);
    }
}

void QtMainWindow::setVisible(MainControl control, bool visible) {
    if (QWidget* target = widget(control)) {
        target->setVisible(visible);
    }
}

void QtMainWindow::setFocus(MainControl control) {
    if (QWidget* target = widget(control)) {
        target->setFocus();
    }
}

void QtMainWindow::setItems(MainControl control, const std::vector<std::string>& items) {
    if (QComboBox* box = combo(control)) {
        const QString editText = box->currentText();
        box->clear();
        for (const std::string& item : items) {
            box->addItem(fromBytes(item));
        }
        if (box->isEditable()) {
            box->setEditText(editText);
        }
    }
}

void QtMainWindow::selectItem(MainControl control, int index) {
    if (QComboBox* box = combo(control)) {
        box->setCurrentIndex(index);
    }
}

int QtMainWindow::selectedItem(MainControl control) const {
    const QComboBox* box = combo(control);
    return box == nullptr ? -1 : box->currentIndex();
}

void QtMainWindow::moveItemToTop(MainControl control, int index) {
    if (QComboBox* box = combo(control); box != nullptr && index < box->count()) {
        const QString moved = box->itemText(index);
        box->removeItem(index);
        box->insertItem(0, moved);
        box->setEditText(moved);
    }
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

void QtMainWindow::showMessage(const std::string& text) {
    QMessageBox::warning(this, QString::fromUtf8(Application::kName), fromBytes(text));
}

bool QtMainWindow::chooseFolder(const std::string& title, std::string& folder) {
    const QString chosen = QFileDialog::getExistingDirectory(this, fromBytes(title));
    if (chosen.isEmpty()) {
        return false;
    }
    folder = toBytes(chosen.endsWith(QLatin1Char('/')) ? chosen : chosen + QLatin1Char('/'));
    return true;
}

void QtMainWindow::showResults(const ResultTable& table, const IconImageList& icons) {
    table_ = &table;
    iconImages_ = std::make_unique<QtIconImages>(icons);
    model_->setIconSource([this](int index) { return iconImages_->icon(index); });
    model_->setTable(&table);
}

void QtMainWindow::setStatusLine(StatusLine line, const std::string& text) {
    (line == StatusLine::Count ? countLine_ : progressLine_)->setText(fromBytes(text));
}

void QtMainWindow::showSearchRunning(bool running) {
    stop_->setVisible(running);
    find_->setVisible(!running);
}

ResultSelection& QtMainWindow::selection() {
    return *selection_;
}

platform::DesktopShell& QtMainWindow::shell() {
    return *shell_;
}

// The configuration dialog and the duplicate-search window are windows of their own, opened here
// once they exist; until then their entries have nothing to open.
void QtMainWindow::openConfiguration() {}

void QtMainWindow::openDuplicateSearch(const std::optional<std::string>&) {}

void QtMainWindow::showContextMenu(const QPoint& position) {
    const bool clickOnRow = list_->indexAt(position).isValid();
    QMenu menu(this);
    for (const ContextMenuItem& item : presenter_->contextMenu(clickOnRow)) {
        if (item.isSeparator()) {
            menu.addSeparator();
            continue;
        }
        QString text = fromBytes(item.text);
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = menu.addAction(text);
        action->setEnabled(item.enabled);
        const ResultAction code = *item.action;
        connect(action, &QAction::triggered, this, [this, code] { presenter_->onAction(code); });
    }
    menu.exec(list_->viewport()->mapToGlobal(position));
}

bool QtMainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool letter = key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z;
        if ((key->modifiers() & Qt::ControlModifier) != 0 && letter) {
            presenter_->onControlKey(static_cast<char>('A' + (key->key() - Qt::Key_A)));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void QtMainWindow::resultsReset() {
    model_->reset();
}

void QtMainWindow::resultsAppended(std::size_t first, std::size_t count) {
    model_->appended(first, count);
}

void QtMainWindow::postToUserInterface(std::function<void()> task) {
    QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

void QtMainWindow::startTicking() {
    ticker_.start();
}

void QtMainWindow::stopTicking() {
    ticker_.stop();
}

void QtMainWindow::keyPressEvent(QKeyEvent* event) {
    // Escape never closes the search window, not even during a search.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
    presenter_->onClose();
    QDialog::closeEvent(event);
}

}  // namespace quillfen::qt
