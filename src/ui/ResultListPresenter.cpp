#include "ui/ResultListPresenter.h"

#include <cstdio>

#include "app/LanguageTable.h"
#include "platform/Platform.h"
#include "results/ContextMenu.h"
#include "results/DoubleClick.h"
#include "results/ResultActions.h"

namespace quillfen {

namespace {

std::string filledIn(const std::string& pattern, std::string_view marker,
                     const std::string& value) {
    const auto at = pattern.find(marker);
    return at == std::string::npos
               ? pattern
               : pattern.substr(0, at) + value + pattern.substr(at + marker.size());
}

}  // namespace

ResultListPresenter::ResultListPresenter(ResultListView& view, FolderTypeText& folderTypeText,
                                         bool offerDuplicateSearch)
    : view_(view),
      offerDuplicateSearch_(offerDuplicateSearch),
      typesAndIcons_(folderTypeText, icons_) {}

ResultListPresenter::~ResultListPresenter() {
    session_.stopAndWait();
}

void ResultListPresenter::attach() {
    view_.showResults(table_, icons_);
}

void ResultListPresenter::start(SearchSession::Work work) {
    view_.setStatusLine(StatusLine::Count, "");
    table_.clear();
    view_.resultsReset();
    hideSortArrow();
    foundCount_ = 0;
    startedAt_ = std::chrono::steady_clock::now();
    view_.showSearchRunning(true);
    searching_ = true;
    session_.start(std::move(work), [this](const FoundEntry& entry) { return makeRow(entry); });
    view_.startTicking();
}

PendingRow ResultListPresenter::makeRow(const FoundEntry& entry) {
    const char separator = platform::currentPlatform().files().separator();
    const bool isFolder = !entry.name.empty() && entry.name.back() == separator;
    PendingRow row;
    row.file = FoundFile::describe(entry.name, entry.folder, entry.size, entry.writeTime, isFolder);
    TypeIconLookup::TypeAndIcon typeAndIcon =
        typesAndIcons_.lookupTypeAndIcon(entry.name, entry.folder);
    row.typeText = std::move(typeAndIcon.typeText);
    row.iconIndex = typeAndIcon.imageIndex;
    return row;
}

void ResultListPresenter::onTick() {
    if (searching_) {
        applyBatch(session_.takeBatch());
    }
}

void ResultListPresenter::applyBatch(PendingBatch batch) {
    if (!batch.rows.empty()) {
        const std::size_t first = table_.rowCount();
        for (const PendingRow& row : batch.rows) {
            table_.append(row.file, row.typeText, row.iconIndex);
        }
        foundCount_ += static_cast<std::int64_t>(batch.rows.size());
        // Rows found after a header click are appended unsorted, out of the arrow's order.
        hideSortArrow();
        view_.resultsAppended(first, batch.rows.size());
        view_.setStatusLine(StatusLine::Count, countText());
    }
    if (!batch.comparingPath.empty()) {
        view_.setStatusLine(StatusLine::Progress,
                            filledIn(translate("Comparing %s"), "%s", batch.comparingPath));
    } else if (!batch.progressFolder.empty()) {
        view_.setStatusLine(StatusLine::Progress,
                            filledIn(translate("Searching %s"), "%s", batch.progressFolder));
    }
    if (batch.finished) {
        finish();
    }
}

void ResultListPresenter::finish() {
    searching_ = false;
    view_.stopTicking();
    view_.showSearchRunning(false);
    // The count line also answers a search that found nothing, and the progress line, idle now,
    // tells how long the search took.
    view_.setStatusLine(StatusLine::Count, countText());
    view_.setStatusLine(StatusLine::Progress,
                        filledIn(translate("Search took %s seconds."), "%s", elapsedSecondsText()));
}

std::string ResultListPresenter::countText() const {
    return filledIn(translate("%d file(s) found."), "%d", std::to_string(foundCount_));
}

std::string ResultListPresenter::elapsedSecondsText() const {
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - startedAt_;
    char text[32] = {};
    std::snprintf(text, sizeof text, "%.2f", elapsed.count());
    return text;
}

void ResultListPresenter::onClose() {
    session_.stopAndWait();
    if (searching_) {
        applyBatch(session_.takeBatch());
    }
}

void ResultListPresenter::onHeaderClicked(int column) {
    if (sortKeys_.clickHeader(column)) {
        table_.sort(sortKeys_);
        view_.resultsReset();
        view_.showSortArrow(sortKeys_.keys().front());
        sortArrowShown_ = true;
    }
}

// The order chosen stays for the next header click; only the arrow goes, as it would claim an
// order the rows do not have.
void ResultListPresenter::hideSortArrow() {
    if (sortArrowShown_) {
        view_.showSortArrow(std::nullopt);
        sortArrowShown_ = false;
    }
}

std::vector<ContextMenuItem> ResultListPresenter::contextMenu(bool clickOnRow) const {
    const ResultSelection& list = view_.selection();
    return contextMenuItems(ContextMenuState{list.rowCount(), list.selectedRows().size(),
                                             clickOnRow, offerDuplicateSearch_});
}

void ResultListPresenter::onAction(ResultAction action) {
    if (action == ResultAction::DuplicateSearch && !offerDuplicateSearch_) {
        return;
    }
    runResultAction(action, view_.selection(), *this, view_.shell());
}

void ResultListPresenter::onControlKey(char letter) {
    if (const std::optional<ResultAction> action = shortcutAction(letter)) {
        onAction(*action);
    }
}

void ResultListPresenter::onDoubleClick(std::optional<std::size_t> row) {
    runDoubleClick(row, view_.selection(), view_.shell());
}

bool ResultListPresenter::onEnterInList() {
    const std::vector<std::size_t> rows = view_.selection().selectedRows();
    if (rows.empty()) {
        return false;
    }
    if (rows.size() > kMostRowsOpenedAtOnce) {
        view_.showMessage(filledIn(translate("Select at most %d files to open them at once."), "%d",
                                   std::to_string(kMostRowsOpenedAtOnce)));
        return true;
    }
    for (const std::size_t row : rows) {
        runDoubleClick(row, view_.selection(), view_.shell());
    }
    return true;
}

void ResultListPresenter::openConfiguration() {
    view_.openConfiguration();
}

void ResultListPresenter::openDuplicateSearch(const std::optional<std::string>& referencePath) {
    view_.openDuplicateSearch(referencePath);
}

}  // namespace quillfen
