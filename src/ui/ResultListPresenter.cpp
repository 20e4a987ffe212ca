#include "ui/ResultListPresenter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>

#include "app/LanguageTable.h"
#include "app/NumberFormat.h"
#include "app/PathHelpers.h"
#include "app/TextUtilities.h"
#include "index/IndexedSearch.h"
#include "platform/Platform.h"
#include "results/ContextMenu.h"
#include "results/DelimitedRows.h"
#include "results/DoubleClick.h"
#include "results/ResultActions.h"

namespace quillfen {

namespace {

// Two decimals tell a quick search from a slow one; more would only flicker.
constexpr int kSecondsDecimals = 2;
// Beyond this many, the list of what could not be read ends with a count of the rest, so a
// walk through a tree the user may not read does not fill the screen with a message.
constexpr std::size_t kMostSkippedListed = 200;

// One message names at most this many failures, so that a thousand of them still leave its OK
// button on the screen.
constexpr std::size_t kMostReportedFailures = 10;

// The export dialog offers CSV first and TSV second.
constexpr std::size_t kTsvFilter = 1;

bool endsWithExtension(const std::string& path, std::string_view extension) {
    if (path.size() < extension.size()) {
        return false;
    }
    return std::equal(extension.begin(), extension.end(), path.end() - extension.size(),
                      [](char wanted, char actual) {
                          return wanted == std::tolower(static_cast<unsigned char>(actual));
                      });
}

// A name's own extension decides, so "list.tsv" saved with the CSV entry chosen is still TSV;
// any other name takes the chosen entry's format.
DelimitedRows::Format exportFormatOf(const SaveChoice& choice) {
    if (endsWithExtension(choice.path, ".tsv")) {
        return DelimitedRows::Format::Tsv;
    }
    if (endsWithExtension(choice.path, ".csv")) {
        return DelimitedRows::Format::Csv;
    }
    return choice.filter == kTsvFilter ? DelimitedRows::Format::Tsv : DelimitedRows::Format::Csv;
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
    stopRequested_ = false;
    skipped_.clear();
    indexEntries_.reset();
    table_.clear();
    view_.resultsReset();
    hideSortArrow();
    foundCount_ = 0;
    startedAt_ = std::chrono::steady_clock::now();
    view_.showSearchRunning(true);
    searching_ = true;
    session_.start(
        std::move(work), [this](const FoundEntry& entry) { return makeRow(entry); },
        [this] { view_.postToUserInterface([this] { onTick(); }); });
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
    if (batch.indexEntries) {
        indexEntries_ = batch.indexEntries;
    }
    skipped_.insert(skipped_.end(), std::make_move_iterator(batch.skipped.begin()),
                    std::make_move_iterator(batch.skipped.end()));
    if (!batch.comparingPath.empty()) {
        view_.setStatusLine(StatusLine::Progress,
                            filledIn(translate("Comparing %s"), "%s", {batch.comparingPath}));
    } else if (!batch.progressFolder.empty()) {
        view_.setStatusLine(StatusLine::Progress,
                            searchingText(batch.progressFolder, batch.filesLookedAt));
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
    // tells how long the search took, whether it was stopped, and whether it missed anything.
    view_.setStatusLine(StatusLine::Count, countText());
    view_.setStatusLine(StatusLine::Progress, endText());
}

void ResultListPresenter::onStop() {
    stopRequested_ = true;
    session_.requestStop();
}

std::string ResultListPresenter::countText() const {
    return filledIn(translate("%d file(s) found."), "%d", {std::to_string(foundCount_)});
}

std::string ResultListPresenter::searchingText(const std::string& folder,
                                               std::uint64_t filesLookedAt) const {
    return filledIn(translate("Searching %s - %s files"), "%s",
                    {folder, NumberFormat::ofShownLanguage().grouped(filesLookedAt)});
}

std::string ResultListPresenter::endText() const {
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - startedAt_;
    std::string text;
    // A stopped search did not go through the whole index, so it tells of the stop instead.
    if (indexEntries_ && !stopRequested_) {
        const auto milliseconds =
            std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
        text =
            IndexedSearch::answeredText(*indexEntries_, static_cast<std::uint64_t>(milliseconds));
    } else {
        const std::string seconds =
            NumberFormat::ofShownLanguage().fixed(elapsed.count(), kSecondsDecimals);
        text = filledIn(stopRequested_ ? translate("Search stopped after %s seconds.")
                                       : translate("Search took %s seconds."),
                        "%s", {seconds});
    }
    if (!skipped_.empty()) {
        text += ' ' + skippedText();
    }
    return text;
}

// Folders and files are counted apart: a folder skipped hides all it holds, a file only itself.
std::string ResultListPresenter::skippedText() const {
    const char separator = pathSeparator();
    const auto folders = std::count_if(
        skipped_.begin(), skipped_.end(),
        [separator](const SkippedPath& skip) { return skip.path.ends_with(separator); });
    const auto files = static_cast<std::ptrdiff_t>(skipped_.size()) - folders;
    std::string text;
    if (folders > 0) {
        text =
            filledIn(translate("%d folder(s) could not be read"), "%d", {std::to_string(folders)});
    }
    if (files > 0) {
        text += (text.empty() ? "" : ", ") +
                filledIn(translate("%d file(s) could not be read"), "%d", {std::to_string(files)});
    }
    return text;
}

void ResultListPresenter::onProgressLineClicked() {
    if (searching_ || skipped_.empty()) {
        return;
    }
    std::string details;
    const std::size_t listed = std::min(skipped_.size(), kMostSkippedListed);
    for (std::size_t index = 0; index < listed; ++index) {
        details +=
            withoutTrailingSeparator(skipped_[index].path) + ": " + skipped_[index].reason + '\n';
    }
    if (listed < skipped_.size()) {
        details += "... " + std::to_string(skipped_.size() - listed) + '\n';
    }
    view_.showDetails(skippedText(), details);
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
                                   {std::to_string(kMostRowsOpenedAtOnce)}));
        return true;
    }
    for (const std::size_t row : rows) {
        runDoubleClick(row, view_.selection(), view_.shell());
    }
    return true;
}

void ResultListPresenter::forgetRowsWhoseFilesAreGone(const std::vector<std::size_t>& rows) {
    const platform::FileSystem& files = platform::currentPlatform().files();
    std::vector<std::size_t> gone;
    for (const std::size_t row : rows) {
        if (row < table_.rowCount() &&
            files.entryStatus(table_.rowPath(row)).kind == platform::EntryKind::Missing) {
            gone.push_back(row);
        }
    }
    if (!gone.empty()) {
        table_.removeRows(gone);
        view_.resultsReset();
    }
}

void ResultListPresenter::reportTrashFailures(
    const std::vector<std::pair<std::string, std::string>>& failures) {
    std::string message;
    for (std::size_t index = 0; index < failures.size(); ++index) {
        if (index == kMostReportedFailures) {
            message += "\n...";
            break;
        }
        const auto& [path, reason] = failures[index];
        message += (index > 0 ? "\n" : "") +
                   filledIn(translate("Cannot move %s to the trash: %s"), "%s", {path, reason});
    }
    view_.showMessage(message);
}

void ResultListPresenter::exportList() {
    const std::optional<SaveChoice> choice = view_.chooseSaveFile(
        translate("Export List"), {{translate("CSV (comma-separated values)"), "*.csv"},
                                   {translate("TSV (tab-separated values)"), "*.tsv"}});
    if (!choice) {
        return;
    }
    const std::string text = DelimitedRows::tableText(exportFormatOf(*choice), table_);
    if (const std::optional<std::string> failure =
            platform::currentPlatform().files().saveFile(choice->path, text)) {
        view_.showMessage(
            filledIn(translate("Cannot save the list to %s: %s"), "%s", {choice->path, *failure}));
    }
}

void ResultListPresenter::openConfiguration() {
    view_.openConfiguration();
}

void ResultListPresenter::openDuplicateSearch(const std::optional<std::string>& referencePath) {
    view_.openDuplicateSearch(referencePath);
}

}  // namespace quillfen
