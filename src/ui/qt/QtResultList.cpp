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
    view_->setIconSize(QSize(16, 16));
    for (int column = 0; column < ResultTable::kColumnCount; ++column) {
        view_->setColumnWidth(column, kColumnWidths[column]);
    }
    // The date column fits its fixed-form text in whatever font the desktop uses.
    const int dateWidth =
        view_->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 16;
    view_->setColumnWidth(ResultTable::kModifiedColumn,
                          std::max(kColumnWidths[ResultTable::kModifiedColumn], dateWidth));
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
        connect(view_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
            presenter_->onHeaderClicked(column);
            showSortIndicator();
        });
    }
    connect(view_, &QTableView::customContextMenuRequested, this,
            [this](const QPoint& position) { showContextMenu(position); });
    connect(view_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        presenter_->onDoubleClick(static_cast<std::size_t>(index.row()));
    });
}

int QtResultList::fullWidth() const {
    const int scrollBar = view_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view_);
    return view_->horizontalHeader()->length() + scrollBar + 2 * view_->frameWidth();
}

// The arrow marks the column that decides the order now: the one clicked last.
void QtResultList::showSortIndicator() {
    const SortKeyList::Key first = presenter_->sortKeys().keys().front();
    QHeaderView* header = view_->horizontalHeader();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(first.column,
                             first.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
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
        const bool letter = key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z;
        if ((key->modifiers() & Qt::ControlModifier) != 0 && letter) {
            presenter_->onControlKey(static_cast<char>('A' + (key->key() - Qt::Key_A)));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quillfen::qt
