#include "ui/SearchSession.h"

#include <gtest/gtest.h>

#include <condition_variable>

namespace quillfen {
namespace {

// The window hears of the first rows as soon as a screenful waits, or the search ended with fewer,
// once per search and only before it took a batch itself.
TEST(SearchSession, TellsOfTheFirstRowsOnceWithoutWaitingForATick) {
    const struct {
        std::size_t rows;
        bool takeFirst;
        int toldWhileRunning;
        int toldInAll;
    } cases[] = {
        {SearchSession::kFirstRows - 1, false, 0, 1},
        {SearchSession::kFirstRows, false, 1, 1},
        {3 * SearchSession::kFirstRows, false, 1, 1},
        {3 * SearchSession::kFirstRows, true, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.rows) + (c.takeFirst ? " after a batch" : ""));
        SearchSession session;
        std::mutex mutex;
        std::condition_variable changed;
        bool batchTaken = !c.takeFirst;
        bool released = false;
        int told = 0;
        int toldWhileRunning = -1;
        session.start(
            [&](SearchObserver& observer, const std::atomic<bool>&) {
                observer.found(FoundEntry{});
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return batchTaken; });
                lock.unlock();
                for (std::size_t row = 1; row < c.rows; ++row) {
                    observer.found(FoundEntry{});
                }
                lock.lock();
                toldWhileRunning = told;
                changed.notify_all();
                changed.wait(lock, [&] { return released; });
            },
            [](const FoundEntry&) { return PendingRow{}; },
            [&] {
                const std::lock_guard lock(mutex);
                ++told;
            });
        if (c.takeFirst) {
            while (session.takeBatch().rows.empty()) {
            }
            const std::lock_guard lock(mutex);
            batchTaken = true;
            changed.notify_all();
        }
        {
            std::unique_lock lock(mutex);
            changed.wait_for(lock, std::chrono::seconds(10), [&] { return toldWhileRunning >= 0; });
            EXPECT_EQ(toldWhileRunning, c.toldWhileRunning);
            released = true;
            changed.notify_all();
        }
        session.stopAndWait();
        EXPECT_EQ(told, c.toldInAll);
    }
}

}  // namespace
}  // namespace quillfen
