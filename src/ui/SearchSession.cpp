#include "ui/SearchSession.h"

#include <utility>

namespace quillfen {

SearchSession::~SearchSession() {
    stopAndWait();
}

void SearchSession::start(Work work, RowMaker makeRow) {
    stopAndWait();
    stopRequested_.store(false);
    makeRow_ = std::move(makeRow);
    {
        const std::lock_guard lock(mutex_);
        pending_ = PendingBatch{};
    }
    running_ = true;
    thread_ = std::thread([this, work = std::move(work)] {
        work(*this, stopRequested_);
        const std::lock_guard lock(mutex_);
        pending_.finished = true;
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
    const std::lock_guard lock(mutex_);
    pending_.rows.push_back(std::move(row));
}

}  // namespace quillfen
