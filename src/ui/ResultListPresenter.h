#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "results/ContextMenuItem.h"
#include "results/FolderTypeText.h"
#include "results/IconImageList.h"
#include "results/ResultAction.h"
#include "results/ResultActionHost.h"
#include "results/ResultTable.h"
#include "results/SortKeyList.h"
#include "results/TypeIconLookup.h"
#include "ui/ResultListView.h"
#include "ui/SearchSession.h"

namespace quillfen {

// The part both search windows share: the search on its own thread, the rows arriving in batches
// with their types and icons, the count and progress lines, and the result actions of the list.
// Each window owns one, with caches of its own.
class ResultListPresenter : private ResultActionHost {
public:
    // `offerDuplicateSearch` is false in the duplicate window, whose list cannot start another.
    ResultListPresenter(ResultListView& view, FolderTypeText& folderTypeText,
                        bool offerDuplicateSearch);
    ~ResultListPresenter() override;
    ResultListPresenter(const ResultListPresenter&) = delete;
    ResultListPresenter& operator=(const ResultListPresenter&) = delete;

    // Shows the empty list; called once when the window opens.
    void attach();
    // Clears the rows and the count line, runs the work on a thread of its own, and shows Stop.
    void start(SearchSession::Work work);
    void onTick();
    void onStop();
    // A click on the progress line: lists what the last search could not read, if anything.
    void onProgressLineClicked();
    // Stops a running search and waits for it, as the window closes.
    void onClose();
    void onHeaderClicked(int column);

    std::vector<ContextMenuItem> contextMenu(bool clickOnRow) const;
    void onAction(ResultAction action);
    void onControlKey(char letter);
    void onDoubleClick(std::optional<std::size_t> row);
    // Enter in the list: the selected rows open as a double click opens one, and the selection
    // stays. False when no row is selected, so that Enter starts the search as elsewhere.
    bool onEnterInList();
    // More rows than this are not opened at once: each one starts a program.
    static constexpr std::size_t kMostRowsOpenedAtOnce = 16;
    // Rows dragged out of the list were dropped somewhere: those whose files the drop moved away
    // leave the list.
    void onRowsDropped(const std::vector<std::size_t>& rows) { forgetRowsWhoseFilesAreGone(rows); }

    bool searching() const { return searching_; }
    const std::vector<SkippedPath>& skipped() const { return skipped_; }
    std::int64_t foundCount() const { return foundCount_; }
    const ResultTable& table() const { return table_; }
    const SortKeyList& sortKeys() const { return sortKeys_; }

private:
    void openConfiguration() override;
    void openDuplicateSearch(const std::optional<std::string>& referencePath) override;
    void forgetRowsWhoseFilesAreGone(const std::vector<std::size_t>& rows) override;
    void reportTrashFailures(
        const std::vector<std::pair<std::string, std::string>>& failures) override;
    void exportList() override;
    PendingRow makeRow(const FoundEntry& entry);
    void applyBatch(PendingBatch batch);
    void finish();
    void hideSortArrow();
    std::string countText() const;
    std::string searchingText(const std::string& folder, std::uint64_t filesLookedAt) const;
    std::string endText() const;
    std::string skippedText() const;

    ResultListView& view_;
    bool offerDuplicateSearch_;
    ResultTable table_;
    SortKeyList sortKeys_;
    IconImageList icons_;
    TypeIconLookup typesAndIcons_;
    SearchSession session_;
    bool searching_ = false;
    bool sortArrowShown_ = false;
    std::int64_t foundCount_ = 0;
    bool stopRequested_ = false;
    std::vector<SkippedPath> skipped_;
    std::optional<std::uint64_t> indexEntries_;
    std::chrono::steady_clock::time_point startedAt_;
};

}  // namespace quillfen
