#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "results/FoundFile.h"
#include "search/SearchObserver.h"

namespace quillfen {

// One found row on its way to the window, its type text and icon already looked up on the
// search's thread.
struct PendingRow {
    FoundFile file;
    std::string typeText;
    int iconIndex = -1;
};

// A folder or file the search could not read, and the system's reason.
struct SkippedPath {
    std::string path;
    std::string reason;
};

// What the window has not shown yet: the rows found since the last batch, the folder being
// searched with the number of files looked at so far, what could not be read, whether an index
// answers, and whether the search has ended.
struct PendingBatch {
    std::vector<PendingRow> rows;
    std::string progressFolder;
    std::uint64_t filesLookedAt = 0;
    std::string comparingPath;
    std::vector<SkippedPath> skipped;
    // Set when an index answers the search: the entries it holds for the searched folder.
    std::optional<std::uint64_t> indexEntries;
    bool finished = false;
};

// A search running on a thread of its own. The thread runs the given work with an observer that
// gathers rows, which the window takes in batches; Stop sets a flag the work polls.
class SearchSession : private SearchObserver {
public:
    // Turns a found entry into a row; runs on the search's thread.
    using RowMaker = std::function<PendingRow(const FoundEntry&)>;
    using Work = std::function<void(SearchObserver&, const std::atomic<bool>& stopRequested)>;
    // Told, on the search's thread, once a screenful of rows waits or the search has ended
    // before the window took any: the window need not wait for its next tick to show them.
    using FirstRowsWaiting = std::function<void()>;
    static constexpr std::size_t kFirstRows = 100;

    SearchSession() = default;
    SearchSession(const SearchSession&) = delete;
    SearchSession& operator=(const SearchSession&) = delete;
    ~SearchSession();

    void start(Work work, RowMaker makeRow, FirstRowsWaiting firstRowsWaiting = {});
    void requestStop() { stopRequested_.store(true); }
    // Asks the search to stop and waits for its thread.
    void stopAndWait();
    bool running() const { return running_; }
    const std::atomic<bool>& stopFlag() const { return stopRequested_; }

    PendingBatch takeBatch();

private:
    void searchingFolder(const std::string& folder) override;
    void comparingFile(const std::string& path) override;
    void found(const FoundEntry& entry) override;
    void skipped(const std::string& path, const std::string& reason) override;
    void lookedAt(std::uint64_t files) override;
    void answeredFromIndex(std::uint64_t entries) override;
    // Called with the lock held; says whether the window is to be told now.
    bool tellsFirstRows(bool searchEnded);

    std::atomic<bool> stopRequested_{false};
    bool running_ = false;
    std::thread thread_;
    RowMaker makeRow_;
    FirstRowsWaiting firstRowsWaiting_;
    // Whether the window was told of the first rows, or took a batch before.
    bool firstRowsTold_ = false;
    // Raised by the search's thread at each folder, read by the window's: no lock is worth
    // taking for a number that is only shown.
    std::atomic<std::uint64_t> filesLookedAt_{0};
    std::mutex mutex_;
    PendingBatch pending_;
};

}  // namespace quillfen
