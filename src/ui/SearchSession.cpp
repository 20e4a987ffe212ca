#include "ui/SearchSession.h"

#include <utility>

namespace quillfen {

SearchSession::~SearchSession() {
    stopAndWait();
}

void SearchSession::start(Work work, RowMaker makeRow, FirstRowsWaiting firstRowsWaiting) {
    stopAndWait();
    stopRequested_.store(false);
    makeRow_ = std::move(makeRow);
    firstRowsWaiting_ = std::move(firstRowsWaiting);
    filesLookedAt_.store(0, std::memory_order_relaxed);
    {
        const std::lock_guard lock(mutex_);
        pending_ = PendingBatch{};
        firstRowsTold_ = false;
    }
    running_ = true;
    thread_ = std::thread([this, work = std::move(work)] {
        work(*this, stopRequested_);
        std::unique_lock lock(mutex_);
        pending_.finished = true;
        if (tellsFirstRows(true)) {
            lock.unlock();
            firstRowsWaiting_();
        }
    });
}

void SearchSession::stopAndWait() {
    stopRequested_.store(true);
    if (thread_.joinable()) {
        thread_.join();
    }
    running_ = false;
}

PendingBatch SearchSession::takeBatch() {
    const std::lock_guard lock(mutex_);
    PendingBatch batch = std::move(pending_);
    pending_ = PendingBatch{};
    firstRowsTold_ = firstRowsTold_ || !batch.rows.empty();
    batch.filesLookedAt = filesLookedAt_.load(std::memory_order_relaxed);
    if (batch.finished && thread_.joinable()) {
        thread_.join();
        running_ = false;
    }
    return batch;
}

void SearchSession::searchingFolder(const std::string& folder) {
    const std::lock_guard lock(mutex_);
    pending_.progressFolder = folder;
    pending_.comparingPath.clear();
}

void SearchSession::comparingFile(const std::string& path) {
    const std::lock_guard lock(mutex_);
    pending_.comparingPath = path;
}

void SearchSession::found(const FoundEntry& entry) {
    PendingRow row = makeRow_(entry);
    std::unique_lock lock(mutex_);
    pending_.rows.push_back(std::move(row));
    if (tellsFirstRows(false)) {
        lock.unlock();
        firstRowsWaiting_();
    }
}

bool SearchSession::tellsFirstRows(bool searchEnded) {
    if (firstRowsTold_ || !firstRowsWaiting_ ||
        (!searchEnded && pending_.rows.size() < kFirstRows)) {
        return false;
    }
    firstRowsTold_ = true;
    return true;
}

void SearchSession::skipped(const std::string& path, const std::string& reason) {
    const std::lock_guard lock(mutex_);
    pending_.skipped.push_back(SkippedPath{path, reason});
}

void SearchSession::lookedAt(std::uint64_t files) {
    filesLookedAt_.store(files, std::memory_order_relaxed);
}

void SearchSession::answeredFromIndex(std::uint64_t entries) {
    const std::lock_guard lock(mutex_);
    pending_.indexEntries = entries;
}

}  // namespace quillfen
