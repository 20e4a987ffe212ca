#include "ui/ResultListPresenter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "app/LanguageTable.h"
#include "platform/Platform.h"
#include "results/ContextMenu.h"
#include "results/DelimitedRows.h"
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

// Both markers are found in the pattern before either is filled, so a value that holds the
// marker itself stays as it is.
std::string filledIn(const std::string& pattern, std::string_view marker, const std::string& first,
                     const std::string& second) {
    const auto firstAt = pattern.find(marker);
    if (firstAt == std::string::npos) {
        return pattern;
    }
    const std::string rest = pattern.substr(firstAt + marker.size());
    return pattern.substr(0, firstAt) + first + filledIn(rest, marker, second);
}

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
    table_.clear();
    view_.resultsReset();
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
                   filledIn(translate("Cannot move %s to the trash: %s"), "%s", path, reason);
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
            filledIn(translate("Cannot save the list to %s: %s"), "%s", choice->path, *failure));
    }
}

void ResultListPresenter::openConfiguration() {
    view_.openConfiguration();
}

void ResultListPresenter::openDuplicateSearch(const std::optional<std::string>& referencePath) {
    view_.openDuplicateSearch(referencePath);
}

}  // namespace quillfen
