#include "ui/qt/QtResultList.h"

#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>
#include <QTableView>
#include <algorithm>

#include "results/ContextMenuItem.h"
#include "results/ResultTable.h"
#include "ui/ResultListPresenter.h"
#include "ui/qt/FileMimeData.h"
#include "ui/qt/QtControls.h"
#include "ui/qt/QtDesktopShell.h"
#include "ui/qt/QtIconImages.h"
#include "ui/qt/QtResultSelection.h"
#include "ui/qt/ResultListModel.h"
#include "ui/qt/ResultTableView.h"

namespace quillfen::qt {

namespace {

constexpr int kTickMilliseconds = 40;
constexpr int kColumnWidths[] = {250, 280, 160, 130, 75, 0};
// However small the window, the list keeps room for a few rows.
constexpr int kRowsAlwaysShown = 6;
// The widest texts of the columns whose cells have a fixed form.
const char* const kWidestCells[] = {"", "", "", "0000-00-00 00:00:00", "1023.99 KB", ""};

}  // namespace

QtResultList::QtResultList(QWidget* parent) : QObject(parent) {
    model_ = new ResultListModel(this);
    auto* table = new ResultTableView(parent);
    table->setDragStarter([this] { dragSelectedRows(); });
    view_ = table;
    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setShowGrid(false);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
    view_->setWordWrap(false);
    view_->horizontalHeader()->setHighlightSections(false);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the list for the next control, as in every other list; the arrows move within.
    view_->setTabKeyNavigation(false);
    view_->setIconSize(QSize(16, 16));
    view_->setMinimumHeight(view_->verticalHeader()->defaultSectionSize() * kRowsAlwaysShown);
    view_->setColumnHidden(ResultTable::kSizeByteColumn, true);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    view_->setDragEnabled(true);
    view_->setDragDropMode(QAbstractItemView::DragOnly);
    view_->installEventFilter(this);
    selection_ = std::make_unique<QtResultSelection>(*view_, table_);
    shell_ = std::make_unique<QtDesktopShell>();
    ticker_.setInterval(kTickMilliseconds);
}

QtResultList::~QtResultList() = default;

void QtResultList::connectTo(ResultListPresenter& presenter, bool sortable) {
    presenter_ = &presenter;
    connect(&ticker_, &QTimer::timeout, this, [this] { presenter_->onTick(); });
    view_->horizontalHeader()->setSectionsClickable(sortable);
    if (sortable) {
        connect(view_->horizontalHeader(), &QHeaderView::sectionClicked, this,
                [this](int column) { presenter_->onHeaderClicked(column); });
    }
    connect(view_, &QTableView::customContextMenuRequested, this,
            [this](const QPoint& position) { showContextMenu(position); });
    connect(view_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        presenter_->onDoubleClick(static_cast<std::size_t>(index.row()));
    });
}

// The headings are translated by now, and the style and font are the desktop's: a wider font or a
// roomier theme widens the columns, so that no date is cut short.
void QtResultList::fitColumnsToTexts() {
    for (int column = 0; column < ResultTable::kColumnCount - 1; ++column) {
        view_->setColumnWidth(column, std::max(kColumnWidths[column], textWidth(column)));
    }
}

int QtResultList::textWidth(int column) const {
    const int heading = view_->horizontalHeader()->sectionSizeHint(column);
    const int margins =
        2 * (view_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view_) + 1) +
        view_->fontMetrics().averageCharWidth();
    const int cell =
        view_->fontMetrics().horizontalAdvance(QString::fromLatin1(kWidestCells[column])) + margins;
    return std::max(heading, cell);
}

std::vector<int> QtResultList::fixedFormWidths() const {
    std::vector<int> widths;
    for (int column = 0; column < ResultTable::kColumnCount - 1; ++column) {
        widths.push_back(*kWidestCells[column] != '\0' ? textWidth(column) : 0);
    }
    return widths;
}

int QtResultList::fullWidth() const {
    const int scrollBar = view_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view_);
    return view_->horizontalHeader()->length() + scrollBar + 2 * view_->frameWidth();
}

void QtResultList::showSortArrow(std::optional<SortKeyList::Key> key) {
    QHeaderView* header = view_->horizontalHeader();
    header->setSortIndicatorShown(key.has_value());
    if (key) {
        header->setSortIndicator(key->column,
                                 key->ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
}

void QtResultList::showResults(const ResultTable& table, const IconImageList& icons) {
    table_ = &table;
    iconImages_ = std::make_unique<QtIconImages>(icons);
    model_->setIconSource([this](int index) { return iconImages_->icon(index); });
    model_->setTable(&table);
}

void QtResultList::resultsReset() {
    model_->reset();
}

void QtResultList::resultsAppended(std::size_t first, std::size_t count) {
    model_->appended(first, count);
}

ResultSelection& QtResultList::selection() {
    return *selection_;
}

platform::DesktopShell& QtResultList::shell() {
    return *shell_;
}

void QtResultList::postToUserInterface(std::function<void()> task) {
    QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

void QtResultList::showContextMenu(const QPoint& position) {
    const bool clickOnRow = view_->indexAt(position).isValid();
    QMenu menu(view_);
    for (const ContextMenuItem& item : presenter_->contextMenu(clickOnRow)) {
        if (item.isSeparator()) {
            menu.addSeparator();
            continue;
        }
        QString text = QtControls::fromBytes(item.text);
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = menu.addAction(text);
        action->setEnabled(item.enabled);
        const ResultAction code = *item.action;
        connect(action, &QAction::triggered, this, [this, code] { presenter_->onAction(code); });
    }
    menu.exec(view_->viewport()->mapToGlobal(position));
}

// The drop target decides between copying and moving; whatever it did, the rows whose files it
// moved away leave the list.
void QtResultList::dragSelectedRows() {
    const std::vector<std::size_t> rows = selection_->selectedRows();
    if (rows.empty() || presenter_ == nullptr) {
        return;
    }
    std::vector<std::string> paths;
    paths.reserve(rows.size());
    for (const std::size_t row : rows) {
        paths.push_back(selection_->rowPath(row));
    }
    auto* drag = new QDrag(view_);
    drag->setMimeData(draggedFilesData(paths));
    if (drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction) != Qt::IgnoreAction) {
        presenter_->onRowsDropped(rows);
    }
}

bool QtResultList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::KeyPress && presenter_ != nullptr) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            // Unhandled, Enter goes on to the window's default button, Find.
            return presenter_->onEnterInList();
        }
        const bool letter = key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z;
        if ((key->modifiers() & Qt::ControlModifier) != 0 && letter) {
            presenter_->onControlKey(static_cast<char>('A' + (key->key() - Qt::Key_A)));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quillfen::qt
